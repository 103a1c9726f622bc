#include "platform/qt/QtIcons.h"

#include "platform/qt/MirroredView.h"
#include "platform/ui/Image.h"

#include <QStyle>

#include <map>
#include <string_view>

namespace velmora::qt {
namespace {

constexpr std::string_view kSystemIcon = "icon:";

// The desktop's icons for the system icons the panel asks for by type code.
std::optional<QStyle::StandardPixmap> standardPixmapOf(std::string_view typeCode) {
    static const std::map<std::string_view, QStyle::StandardPixmap> kinds = {
        {"fldr", QStyle::SP_DirIcon},           {"docu", QStyle::SP_FileIcon},
        {"unfs", QStyle::SP_FileIcon},          {"note", QStyle::SP_MessageBoxInformation},
        {"caut", QStyle::SP_MessageBoxWarning}, {"stop", QStyle::SP_MessageBoxCritical},
    };
    auto kind = kinds.find(typeCode);
    if (kind == kinds.end())
        return std::nullopt;
    return kind->second;
}

} // namespace

QIcon iconOf(const ui::Image& image, QStyle* style) {
    if (!image.path().empty())
        return QIcon(toQString(image.path()));
    std::string_view name = image.name();
    if (!style || !name.starts_with(kSystemIcon))
        return {};
    auto kind = standardPixmapOf(name.substr(kSystemIcon.size()));
    return kind ? style->standardIcon(*kind) : QIcon();
}

} // namespace velmora::qt
