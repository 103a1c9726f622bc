#include "platform/printing/HostText.h"

#include "platform/foundation/PreferredLanguages.h"

#include <map>

namespace velmora {
namespace {

const std::map<std::string, std::string>& japanese() {
    static const std::map<std::string, std::string> texts{
        {"Print", "プリント"},
        {"Preview", "プレビュー"},
        {"Sheet preview", "用紙のプレビュー"},
        {"Front", "表面"},
        {"Back", "裏面"},
        {"Show Back", "裏面を表示"},
        {"Show Front", "表面を表示"},
        {"Previous Sheet", "前の用紙"},
        {"Next Sheet", "次の用紙"},
        {"Sheet %1 of %2", "用紙 %1 / %2"},
        {"Paper from: %1", "給紙: %1"},
        {"Output to: %1", "排紙: %1"},
        {"No document to preview.", "プレビューする文書がありません。"},
        {"The preview cannot read this document: it is not a PDF, or it is damaged.",
         "この文書はプレビューできません。PDF ではないか、壊れています。"},
        {"The preview cannot show this document: it is encrypted.",
         "この文書は暗号化されているため、プレビューできません。"},
        {"The preview cannot show this document: it has no pages.",
         "この文書にはページがないため、プレビューできません。"},
        {"The preview cannot show documents: %1", "文書をプレビューできません: %1"},
        {"&Print", "プリント(&P)"},
        {"P&rinter:", "プリンタ(&R):"},
        {"F&avorites:", "お気に入り(&A):"},
        {"Favorites", "お気に入り"},
        {"Save Favorite...", "お気に入りに保存..."},
        {"Favorites...", "お気に入りの管理..."},
        {"Cancel", "キャンセル"},
        {"Summary", "概要"},
        {"Copies:", "部数:"},
        {"Copies", "部数"},
        {"Printer", "プリンタ"},
        {"Setting", "設定項目"},
        {"Value", "設定値"},
        {"Collated", "丁合い"},
        {"Two-Sided", "両面"},
        {"The settings were not saved.", "設定を保存できませんでした。"},
        {"Not printed: change the settings the message named.",
         "印刷していません。メッセージの設定を変更してください。"},
        {"Held &Jobs:", "保留ジョブ(&J):"},
        {"Held Jobs", "保留ジョブ"},
        {"Job", "ジョブ"},
        {"Title", "タイトル"},
        {"User", "ユーザ"},
        {"Received", "受付日時"},
        {"&Open", "開く(&O)"},
        {"No held jobs.", "保留中のジョブはありません。"},
        {"Setting up held job", "保留ジョブを設定中"},
        {"Saving the options as defaults needs a CUPS queue.",
         "オプションを既定値として保存するには CUPS のキューが必要です。"},
    };
    return texts;
}

} // namespace

std::string hostText(const std::string& english) {
    if (PreferredLanguages::first().rfind("ja", 0) != 0)
        return english;
    auto it = japanese().find(english);
    return it == japanese().end() ? english : it->second;
}

} // namespace velmora
