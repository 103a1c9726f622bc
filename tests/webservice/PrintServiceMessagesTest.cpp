#include "webservice/Iso8601DateCodec.h"
#include "webservice/PrintServiceSoap.h"
#include "webservice/SoapAnswerReader.h"
#include "webservice/SoapScalarCodecs.h"

#include "support/SoapAnswers.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

namespace soap = test::soap;
using O = PrintServiceOperation;

const PrintServiceMessage& onlyMessage(const PrintServiceSoapResponse& response) {
    EXPECT_FALSE(response.error) << (response.error ? response.error->description : "");
    const PrintServiceMessage* message = response.message();
    EXPECT_NE(message, nullptr);
    static PrintServiceMessage empty;
    return message ? *message : empty;
}

TEST(PrintServiceMessagesTest, RequestEnvelopesAreTheFixedTexts) {
    PrintServiceRequest request;
    EXPECT_EQ(PrintServiceOperations::envelope(O::getStackerInfoList, request),
              "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body "
              "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
              "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">"
              "<getStackerInfoList "
              "xmlns=\"kv:zema\"><iotId>1</iotId></getStackerInfoList></s:Body></s:Envelope>");
    EXPECT_EQ(PrintServiceOperations::requestBody(O::getJobResourceSetList, request),
              "<GetJobResourceSetList xmlns=\"kv:zema\"><type>0</type></GetJobResourceSetList>");
    EXPECT_EQ(
        PrintServiceOperations::requestBody(O::getSpotColorAllInfoListData, request),
        "<getSpotColorAllInfoListData xmlns=\"kv:zema\"><dict d=\"0\"><item key=\"iotId\"><val "
        "xsi:type=\"xsd:unsignedInt\">1</val></item></dict></getSpotColorAllInfoListData>");
    std::string cms = PrintServiceOperations::requestBody(O::getCmsSpotGetAllListData, request);
    EXPECT_NE(cms.find("<item key=\"ProfileType\"><val xsi:type=\"xsd:string\"/></item>"),
              std::string::npos);
    EXPECT_NE(
        cms.find("<item key=\"IsWithouDelete\"><val xsi:type=\"xsd:boolean\">true</val></item>"),
        std::string::npos);
    EXPECT_EQ(
        PrintServiceOperations::requestBody(O::getDensityAdjustProfileList, request),
        "<getDensityAdjustProfileList xmlns=\"kv:zema\"><iotId>1</iotId><resourceSet>SYSTEM_DEFAULT"
        "</resourceSet></getDensityAdjustProfileList>");
}

TEST(PrintServiceMessagesTest, SelectTextIsEscapedBeforeItGoesIntoTheEnvelope) {
    PrintServiceRequest request{7, "A&B</select><inject/>"};
    EXPECT_EQ(PrintServiceOperations::requestBody(O::GetJobResourceList, request),
              "<GetJobResourceList "
              "xmlns=\"kv:zema\"><type>7</type><select>A&amp;B&lt;/select&gt;&lt;inject/&gt;"
              "</select></GetJobResourceList>");
}

TEST(PrintServiceMessagesTest, FontLanguageFollowsTheFirstPreferredLanguage) {
    ::setenv("LANGUAGE", "ja", 1);
    EXPECT_NE(PrintServiceOperations::requestBody(O::getFontList, {}).find("<lang>ja-HJP</lang>"),
              std::string::npos);
    ::setenv("LANGUAGE", "fr", 1);
    EXPECT_NE(PrintServiceOperations::requestBody(O::getFontList, {}).find("<lang>en-US</lang>"),
              std::string::npos);
    ::unsetenv("LANGUAGE");
}

TEST(PrintServiceMessagesTest, TypedElementRule) {
    std::string answer = soap::response(
        "getStackerInfoListResponse",
        "<ary d=\"3\"><item>untyped</item><item xsi:type=\"xsd:string\">typed</item>"
        "<item xsi:type=\"PrintService:PropDict\" d=\"5\"><item key=\"a\"><val>text</val></item>"
        "<item key=\"empty\"><val/></item>"
        "<item key=\"nested\"><val xsi:type=\"PrintService:PropArray\"><item "
        "xsi:type=\"xsd:string\">x</item></val></item>"
        "</item><item xsi:type=\"xsd:unknownThing\"/></ary>" +
            soap::status("OK"));
    auto response = PrintServiceSoap::decodeAnswer(O::getStackerInfoList, answer);
    const auto& message = onlyMessage(response);
    const auto& array = *std::get<std::shared_ptr<PrintService_PropArray>>(*message.field("ary"));
    EXPECT_EQ(array.d, 3);
    ASSERT_EQ(array.item.size(), 4u);
    EXPECT_EQ(std::get<std::string>(array.item[0]), "untyped"); // appended twice without a type
    EXPECT_EQ(std::get<std::string>(array.item[1]), "untyped");
    EXPECT_EQ(std::get<std::string>(array.item[2]), "typed"); // once with "xsd:string"
    const auto& dict = *std::get<std::shared_ptr<PrintService_PropDict>>(array.item[3]);
    EXPECT_EQ(dict.d, 5);
    ASSERT_EQ(dict.item.size(), 3u);
    EXPECT_EQ(*stringOf(keyValueOf(dict.item[0])->val), "text");
    EXPECT_FALSE(keyValueOf(dict.item[1])->val); // no text, no type
    auto nested = keyValueOf(dict.item[2])->val;
    ASSERT_TRUE(nested);
    EXPECT_EQ(
        std::get<std::string>(std::get<std::shared_ptr<PrintService_PropArray>>(*nested)->item[0]),
        "x");
    EXPECT_EQ(message.status, 1);
}

TEST(PrintServiceMessagesTest, EmptyTypesGiveNothingAndRepeatedFieldsOverwrite) {
    std::string answer = soap::response(
        "getStackerInfoListResponse",
        "<ary><item xsi:type=\"\">untyped</item><item>kept</item></ary>"
        "<ary><item xsi:type=\"xsd:string\">second</item></ary>" +
            soap::status("OK"));
    auto response = PrintServiceSoap::decodeAnswer(O::getStackerInfoList, answer);
    const auto& array =
        *std::get<std::shared_ptr<PrintService_PropArray>>(*onlyMessage(response).field("ary"));
    EXPECT_EQ(array.item, (std::vector<PropItem>{std::string("second")})); // the second "ary"

    std::string emptied = soap::response("getStackerInfoListResponse",
                                         "<ary><item>first</item></ary><ary xsi:type=\"\"/>" +
                                             soap::status("OK"));
    auto overwritten = PrintServiceSoap::decodeAnswer(O::getStackerInfoList, emptied);
    // An empty type is a type of no class: the field is overwritten by nothing.
    EXPECT_EQ(onlyMessage(overwritten).field("ary"), nullptr);
}

TEST(PrintServiceMessagesTest, ScalarCodecs) {
    EXPECT_EQ(SoapScalarCodecs::boolean("true"), true);
    EXPECT_EQ(SoapScalarCodecs::boolean("false"), false);
    EXPECT_EQ(SoapScalarCodecs::boolean("True"), std::nullopt);
    EXPECT_EQ(SoapScalarCodecs::number(" -2.5e1"), -25.0);
    EXPECT_EQ(SoapScalarCodecs::number("x"), std::nullopt);
    Data bytes{0, 0xFF, 'a'};
    EXPECT_EQ(SoapScalarCodecs::binaryText(bytes), "AP9h");
    EXPECT_EQ(SoapScalarCodecs::binary(" AP9h\n"), bytes);
    EXPECT_EQ(SoapScalarCodecs::binary("AP*h"), std::nullopt);
}

TEST(PrintServiceMessagesTest, Iso8601DatesReadInEveryFormAndWriteInEach) {
    using Codec = Iso8601DateCodec;
    const double dec6 = 1796545800; // 2026-12-06T08:30:00Z, a Sunday of week 49
    struct Read {
        const char* text;
        bool lenient;
        std::optional<double> seconds;
    } reads[] = {
        {"2026-12-06T08:30:00Z", false, dec6},
        {"2026-12-06T08:30:00", false, dec6}, // no zone: UTC
        {"2026-12-06T17:30:00+09:00", false, dec6},
        {"2026-12-06T08:30:00.75Z", false, dec6 + 0.75},
        {"2026-340T08:30:00Z", false, dec6},      // ordinal
        {"2026-W49-07T08:30:00Z", false, dec6},   // week, as written
        {"2026-W49-7T08:30:00Z", false, dec6},    // week, one-digit day
        {"2026-12-06", false, dec6 - 8.5 * 3600}, // date alone: midnight
        {"2020-W53-5", false, 1609459200},        // 2021-01-01 lies in week 53 of 2020
        {"20261206T0830Z", true, dec6},           // basic form, no seconds
        {" 2026-12-06 08:30:00z ", true, dec6},
        {"20261206T0830Z", false, std::nullopt},
        {"2026-02-30", false, std::nullopt},
        {"2025-366", false, std::nullopt},
        {"2026-W54-1", false, std::nullopt},
        {"2026-12-06T24:00:00Z", false, std::nullopt},
        {"2026-12-06T08:30:00Zjunk", true, std::nullopt},
    };
    for (const auto& r : reads) {
        Codec::Options options;
        options.lenient = r.lenient;
        EXPECT_EQ(Codec::parse(r.text, options), r.seconds) << r.text;
    }
    struct Write {
        Codec::Form form;
        bool time;
        int zone;
        const char* text;
    } writes[] = {
        {Codec::Form::Calendar, true, 0, "2026-12-06T08:30:00Z"},
        {Codec::Form::Calendar, true, 540, "2026-12-06T17:30:00+09:00"},
        {Codec::Form::Calendar, false, 0, "2026-12-06"},
        {Codec::Form::Ordinal, true, 0, "2026-340T08:30:00Z"},
        {Codec::Form::Week, true, 0, "2026-W49-07T08:30:00Z"},
    };
    for (const auto& w : writes) {
        Codec::Options options;
        options.form = w.form;
        options.includeTime = w.time;
        options.zoneMinutes = w.zone;
        EXPECT_EQ(Codec::format(dec6, options), std::optional<std::string>(w.text)) << w.text;
        options.lenient = true;
        EXPECT_EQ(Codec::parse(*Codec::format(dec6, options), options),
                  w.time ? dec6 : dec6 - 8.5 * 3600);
    }
    Codec::Options nul;
    nul.timeSeparator = '\0';
    std::string error;
    EXPECT_FALSE(Codec::parse("2026-12-06", nul, &error));
    EXPECT_EQ(error, "Time separator must not be NUL.");
    EXPECT_FALSE(Codec::format(dec6, nul, &error));
    EXPECT_EQ(error, "Time separator must not be NUL.");
    Codec::Options dots;
    dots.timeSeparator = '.';
    EXPECT_EQ(Codec::format(dec6, dots), std::optional<std::string>("2026-12-06T08.30.00Z"));
}

TEST(PrintServiceMessagesTest, StatusTablesAsATable) {
    const std::tuple<StatusTable, const char*, int> cases[] = {
        {StatusTable::ServiceResult, "Error", 41},
        {StatusTable::ResourceResult, "Error", 2},
        {StatusTable::CmsResResult, "Error", 2},
        {StatusTable::ServiceResult, "OK", 1},
        {StatusTable::ResourceResult, "IccVersionError", 51},
        {StatusTable::CmsResResult, "CalibPrtPapsizeTooSmall", 6},
        {StatusTable::ServiceResult, "ok", 0},
        {StatusTable::ServiceResult, "", 0}};
    for (const auto& [table, text, code] : cases) {
        EXPECT_EQ(statusFromString(table, text), code) << text;
        if (code) {
            EXPECT_EQ(stringFromStatus(table, code), text);
        }
    }
    EXPECT_EQ(stringFromStatus(StatusTable::CmsResResult, 7), "");
    EXPECT_EQ(stringFromStatus(StatusTable::ServiceResult, 0), "");
}

TEST(PrintServiceMessagesTest, FaultsOfBothSoapVersions) {
    std::string soap11 =
        soap::envelope("<soap:Fault><faultcode>soap:Server</"
                       "faultcode><faultstring>System.Web.Services.Protocols.SoapException: "
                       "Server was unable to process request.\n   at Zema.PrintService.Run()\n   "
                       "at X.Y()</faultstring>"
                       "<detail/></soap:Fault>");
    auto response = PrintServiceSoap::decodeAnswer(O::getFontList, soap11);
    ASSERT_EQ(response.bodyParts.size(), 1u);
    const auto& fault = std::get<SOAPFault>(response.bodyParts[0]);
    EXPECT_EQ(fault.faultcode, "soap:Server");
    EXPECT_EQ(fault.simpleFaultString(), "Server was unable to process request.");
    SOAPFault plain;
    plain.faultstring = "Nothing to shorten";
    EXPECT_EQ(plain.simpleFaultString(), "Nothing to shorten");

    std::string soap12 =
        "<env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\"><env:Body>"
        "<env:Fault><env:Code><env:Value>env:Sender</env:Value></env:Code>"
        "<env:Reason><env:Text>Bad "
        "request</env:Text></env:Reason></env:Fault></env:Body></env:Envelope>";
    auto fault12 =
        std::get<SOAPFault>(PrintServiceSoap::decodeAnswer(O::getFontList, soap12).bodyParts.at(0));
    EXPECT_EQ(fault12.faultcode, "env:Sender");
    EXPECT_EQ(fault12.faultstring, "Bad request");
}

TEST(PrintServiceMessagesTest, MalformedEmptyAndUnexpectedAnswers) {
    auto malformed = PrintServiceSoap::decodeAnswer(O::getFontList, "<soap:Envelope><unclosed>");
    ASSERT_TRUE(malformed.error);
    EXPECT_EQ(malformed.error->domain, "PrintServiceResponseXML");
    EXPECT_EQ(malformed.error->code, 1);
    EXPECT_EQ(malformed.error->description, "Errors while parsing returned XML");
    auto empty = PrintServiceSoap::decodeAnswer(O::getFontList, "");
    ASSERT_TRUE(empty.error);
    EXPECT_EQ(empty.error->code, 2);
    auto other =
        PrintServiceSoap::decodeAnswer(O::getFontList, soap::response("somethingElse", ""));
    EXPECT_FALSE(other.error);
    EXPECT_TRUE(other.bodyParts.empty());
    auto spaced = PrintServiceSoap::decodeAnswer(
        O::getStackerInfoList,
        soap::envelope("\n  <getStackerInfoListResponse xmlns=\"kv:zema\"><status>OK</status>"
                       "</getStackerInfoListResponse>\n  "));
    ASSERT_EQ(spaced.bodyParts.size(), 1u); // the whitespace around it is skipped
}

// An answer of several hundred kilobytes reaches the parser in pieces: texts and tags that
// straddle two pieces must come out whole, and every record must be kept.
TEST(PrintServiceMessagesTest, LargeAnswersDecodeWhole) {
    std::vector<std::string> records;
    for (int i = 0; i < 3000; ++i)
        records.push_back(soap::record({{"Name", "Profile " + std::to_string(i)},
                                        {"Comment", "Coated &amp; matte stock " + std::to_string(i)}}));
    std::string longText(300000, 'x');
    records.push_back(soap::record({{"Name", longText}}));
    std::string answer = soap::response("getOutputProfileListResponse",
                                        soap::list("resInfo", records) + soap::status("OK"));
    ASSERT_GT(answer.size(), 3 * SoapAnswerReader::kPieceBytes);
    auto response = PrintServiceSoap::decodeAnswer(O::getOutputProfileList, answer);
    const auto& message = onlyMessage(response);
    const auto* list = itemsOf(*message.field("resInfo"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->size(), 3001u);
    for (std::size_t i : {0u, 1234u, 2999u}) {
        const auto* members = itemsOf((*list)[i]);
        ASSERT_NE(members, nullptr);
        ASSERT_EQ(members->size(), 2u);
        EXPECT_EQ(*stringOf(keyValueOf((*members)[0])->val), "Profile " + std::to_string(i));
        EXPECT_EQ(*stringOf(keyValueOf((*members)[1])->val),
                  "Coated & matte stock " + std::to_string(i));
    }
    EXPECT_EQ(*stringOf(keyValueOf(itemsOf(list->back())->at(0))->val), longText);
    EXPECT_EQ(message.status, 1);
}

// Bytes the parser cannot read in the encoding they announce fail the answer; they never end it
// early as if it were complete.
TEST(PrintServiceMessagesTest, UnreadableBytesFailTheAnswer) {
    std::string complete = soap::response("getFontListResponse", soap::status("OK", "result"));
    const std::string cases[] = {
        std::string("<\0\0\0\0\0\0\0\0tc>", 12),                // four-byte code units that are no characters
        complete.substr(0, complete.size() - 20),            // cut off
        complete + "<trailing/>",                             // a second root
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?><a/>", // announces an encoding it is not in
    };
    for (const auto& bytes : cases) {
        auto response = PrintServiceSoap::decodeAnswer(O::getFontList, bytes);
        ASSERT_TRUE(response.error) << bytes;
        EXPECT_EQ(response.error->code, 1);
        EXPECT_TRUE(response.bodyParts.empty());
    }
    EXPECT_FALSE(PrintServiceSoap::decodeAnswer(O::getFontList, complete).error);
}

// Elements may nest 257 deep, counting the envelope; deeper answers are refused before their
// values are built, however deep they go.
TEST(PrintServiceMessagesTest, NestingDeeperThanTheParsersLimitIsRefused) {
    auto nestedArrays = [](int depth) {
        std::string open, close;
        for (int i = 0; i < depth; ++i) {
            open += "<item xsi:type=\"PrintService:PropArray\">";
            close += "</item>";
        }
        // Envelope, Body, the response and resInfo lie above the items.
        return soap::response("getOutputProfileListResponse",
                              "<resInfo>" + open + "x" + close + "</resInfo>");
    };
    auto deepest = PrintServiceSoap::decodeAnswer(O::getOutputProfileList, nestedArrays(253));
    ASSERT_FALSE(deepest.error);
    const PropItem* level = onlyMessage(deepest).field("resInfo");
    int depth = 0;
    while (level && itemsOf(*level) && !itemsOf(*level)->empty()) {
        level = &itemsOf(*level)->back();
        ++depth;
    }
    EXPECT_EQ(depth, 253); // every item holds the next
    for (int depth : {254, 100000}) {
        auto refused = PrintServiceSoap::decodeAnswer(O::getOutputProfileList, nestedArrays(depth));
        ASSERT_TRUE(refused.error) << depth;
        EXPECT_EQ(refused.error->code, 1);
    }
}

TEST(PrintServiceMessagesTest, EntityDefinitionsAreNeitherExpandedNorFetched) {
    std::string bomb =
        "<?xml version=\"1.0\"?><!DOCTYPE e [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
        "\"&a;&a;&a;&a;&a;\">"
        "<!ENTITY ext SYSTEM \"file:///etc/passwd\">]>" +
        soap::response("getFontListResponse", "<result>&b;&ext;</result>").substr(38);
    auto response = PrintServiceSoap::decodeAnswer(O::getFontList, bomb);
    ASSERT_TRUE(response.error);
    EXPECT_EQ(response.error->code, 1);
}

} // namespace
} // namespace velmora
