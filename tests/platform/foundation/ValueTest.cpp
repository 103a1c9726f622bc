#include "platform/foundation/Value.h"
#include "platform/foundation/JsonReader.h"

#include "platform/foundation/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>

namespace velmora {
namespace {

struct BoolCase {
    Value value;
    bool expected;
};

TEST(ValueTest, BooleanReadingFollowsThePlatform) {
    const BoolCase cases[] = {
        {Value(true), true},
        {Value(false), false},
        {Value(0), false},
        {Value(-3), true},
        {Value(0.0), false},
        {Value(0.25), true},
        {Value("YES"), true},
        {Value("yes"), true},
        {Value("True"), true},
        {Value("t"), true},
        {Value("  \tY"), true},
        {Value("1"), true},
        {Value("9 lives"), true},
        {Value("0"), false},
        {Value("NO"), false},
        {Value("False"), false},
        {Value(""), false},
        {Value("   "), false},
        {Value("x"), false},
        {Value("07"), false},
        {Value(nullptr), false},
        {Value(Array{Value(true)}), false},
        {Value(Dictionary{}), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value.boolValue(), c.expected) << c.value.toJson();
}

TEST(ValueTest, DictionaryKeepsInsertionOrderAndReplacesInPlace) {
    Dictionary d;
    d.set("zeta", 1);
    d.set("alpha", 2);
    d.set("mid", 3);
    d.set("zeta", 4); // existing key keeps its position
    EXPECT_EQ(d.keys(), (std::vector<std::string>{"zeta", "alpha", "mid"}));
    EXPECT_EQ(d.get("zeta"), Value(4));

    EXPECT_TRUE(d.remove("alpha"));
    EXPECT_FALSE(d.remove("alpha"));
    d.set("alpha", 5); // a removed key comes back at the end
    EXPECT_EQ(d.keys(), (std::vector<std::string>{"zeta", "mid", "alpha"}));
    EXPECT_EQ(*d.find("mid"), Value(3)); // index still right after the removal
    EXPECT_TRUE(d.get("missing").isNull());
    d["fresh"] = "x";
    EXPECT_EQ(d.keys().back(), "fresh");
}

// Large dictionaries find their keys through an index of views into the entries, which must
// follow the entries whenever room is made for more, before or after the index exists.
TEST(ValueTest, ALargeDictionaryFindsEveryKeyWhateverRoomWasMadeOnTheWay) {
    const std::size_t reservations[][2] = {{0, 100}, {5, 100}, {20, 1000}, {30, 10}, {64, 64}};
    for (const auto& [before, room] : reservations) {
        Dictionary d;
        auto key = [](std::size_t i) {
            return "a key long enough to leave SSO " + std::to_string(i);
        };
        for (std::size_t i = 0; i < before; ++i)
            d.set(key(i), Value(static_cast<std::int64_t>(i)));
        d.reserve(room);
        for (std::size_t i = before; i < 80; ++i)
            d.set(key(i), Value(static_cast<std::int64_t>(i)));
        d.set(key(3), Value("again")); // replaced in place, not added
        ASSERT_EQ(d.size(), 80u) << before << " then room for " << room;
        for (std::size_t i = 0; i < 80; ++i)
            EXPECT_EQ(d.get(key(i)), i == 3 ? Value("again") : Value(static_cast<std::int64_t>(i)))
                << key(i) << " after " << before << " then room for " << room;
        EXPECT_FALSE(d.contains("a key long enough to leave SSO 80"));
    }
}

// Removals, additions (by set, by operator[] and after making room), replacements and copies in
// a long random run, checked after every so many steps against a plain list of the entries in
// order: every key is found with its value, no removed key is, and walking the dictionary gives
// the entries in the order they were added. The 16-key run keeps crossing the size from which
// the dictionary indexes its keys, both ways.
TEST(ValueTest, ADictionaryChangedAtRandomKeepsFindingWhatItHolds) {
    const struct {
        std::size_t keys, steps;
        unsigned seed;
    } runs[] = {{8, 400, 1}, {16, 3000, 5}, {40, 2000, 2}, {300, 3000, 3}, {1000, 4000, 4}};
    for (const auto& run : runs) {
        std::mt19937 random(run.seed);
        auto key = [](std::size_t i) {
            return (i % 3 ? "k" : "a key long enough to leave SSO ") + std::to_string(i);
        };
        Dictionary d;
        std::vector<std::pair<std::string, std::int64_t>> model;
        for (std::size_t step = 0; step < run.steps; ++step) {
            std::string k = key(random() % run.keys);
            auto held = std::find_if(model.begin(), model.end(),
                                     [&](const auto& entry) { return entry.first == k; });
            auto value = static_cast<std::int64_t>(step);
            switch (random() % 6) {
            case 0:
            case 1:
                EXPECT_EQ(d.remove(k), held != model.end()) << k;
                if (held != model.end())
                    model.erase(held);
                continue;
            case 2: d = Dictionary(d); break; // a copy must find what the original did
            case 3: d.reserve(d.size() + random() % 64); break;
            default: break;
            }
            if (step % 2)
                d[k] = Value(value);
            else
                d.set(k, Value(value));
            if (held != model.end())
                held->second = value;
            else
                model.emplace_back(k, value);
            if (step % 97 == 0 || step + 1 == run.steps) {
                ASSERT_EQ(d.size(), model.size()) << "seed " << run.seed << " step " << step;
                std::size_t at = 0;
                for (const auto& [name, held] : d) {
                    EXPECT_EQ(name, model[at].first);
                    EXPECT_EQ(held, Value(model[at].second));
                    ++at;
                }
                for (std::size_t i = 0; i < run.keys; ++i) {
                    std::string other = key(i);
                    bool modelHas = std::any_of(model.begin(), model.end(),
                                                [&](const auto& e) { return e.first == other; });
                    EXPECT_EQ(d.contains(other), modelHas) << other << " at step " << step;
                }
            }
        }
    }
}

TEST(ValueTest, EqualityComparesNumbersByValueAndDictionariesWithoutOrder) {
    EXPECT_EQ(Value(1), Value(1.0));
    EXPECT_NE(Value(1), Value(true));
    EXPECT_NE(Value("1"), Value(1));
    EXPECT_EQ(Value(nullptr), Value());
    EXPECT_NE(Value(std::numeric_limits<std::int64_t>::max()),
              Value(std::numeric_limits<std::int64_t>::max() - 1));

    Dictionary a{{"x", 1}, {"y", Array{Value("a"), Value(2.5)}}};
    Dictionary b{{"y", Array{Value("a"), Value(2.5)}}, {"x", 1}};
    EXPECT_EQ(Value(a), Value(b));
    b.set("x", 2);
    EXPECT_NE(Value(a), Value(b));
    EXPECT_NE(Value(Array{Value(1), Value(2)}), Value(Array{Value(2), Value(1)}));
    EXPECT_EQ(Value(Data{1, 2}), Value(Data{1, 2}));
    EXPECT_NE(Value(Date{1}), Value(Date{2}));
}

TEST(ValueTest, CopiesAreDeep) {
    Value original(Dictionary{{"list", Array{Value(1)}}});
    Value copy = original;
    copy.dictionary()->find("list")->array()->push_back(Value(2));
    EXPECT_EQ(original.dictionary()->get("list").array()->size(), 1u);
    EXPECT_EQ(copy.dictionary()->get("list").array()->size(), 2u);
}

TEST(ValueTest, ConversionsBetweenKinds) {
    EXPECT_EQ(Value(" -42abc").integerValue(), -42);
    EXPECT_EQ(Value("99999999999999999999").integerValue(),
              std::numeric_limits<std::int64_t>::max());
    EXPECT_DOUBLE_EQ(Value("2.5mm").doubleValue(), 2.5);
    EXPECT_DOUBLE_EQ(Value("abc").doubleValue(), 0.0);
    EXPECT_EQ(Value(3.0).integerValue(), 3);
    EXPECT_EQ(Value(true).stringValue(), "True");
    EXPECT_EQ(Value(0.1).stringValue(), "0.1");
    EXPECT_EQ(Value(std::int64_t{-7}).stringValue(), "-7");
}

TEST(ValueTest, JsonEscapesAndWrapsDatesAndData) {
    Dictionary d{{"text", "a\"b\\c\n\x01"},
                 {"when", Date{86400}},
                 {"bytes", Data{0xFF, 0x00, 0x10}},
                 {"nan", std::numeric_limits<double>::quiet_NaN()},
                 {"empty", Array{}}};
    EXPECT_EQ(Value(d).toJson(),
              R"({"text":"a\"b\\c\n\u0001","when":{"date": "1970-01-02T00:00:00Z"},)"
              R"("bytes":{"data": "/wAQ"},"nan":null,"empty":[]})");
    EXPECT_EQ(Value(Array{Value(1), Value("é")}).toJson(2), "[\n  1,\n  \"é\"\n]");
}

TEST(JsonReaderTest, EscapesDecodeExactlyOrAreRefused) {
    struct Case {
        const char* json;
        std::optional<std::string> text; // null: refused
    } cases[] = {
        {R"("\u00e9\ud83d\ude00")", "é😀"},
        {R"("\ud800\u0041")", std::nullopt}, // once decoded as U+2441
        {R"("\ud800")", std::nullopt},
        {R"("\udc00x")", std::nullopt},
        {R"("\ud800\ud800")", std::nullopt},
    };
    for (const auto& c : cases) {
        std::string error;
        auto value = JsonReader::parse(c.json, &error);
        if (!c.text) {
            EXPECT_FALSE(value) << c.json;
            EXPECT_NE(error.find("surrogate"), std::string::npos) << error;
        } else {
            ASSERT_TRUE(value) << c.json;
            EXPECT_EQ(*value, Value(*c.text));
        }
    }
}

// JSON is UTF-8: bytes that are not are refused, not carried into settings and written back.
TEST(JsonReaderTest, TextThatIsNotUtf8IsRefused) {
    for (std::string json :
         {std::string("{\"JobName\": \"\xff\xfe\"}"), std::string("\"\xc0\xaf\""),
          std::string("\"\xe6\x97\""), std::string("[\"ok\", \"\xed\xa0\x80\"]")}) {
        std::string error;
        EXPECT_FALSE(JsonReader::parse(json, &error)) << json;
        EXPECT_EQ(error, "the text is not valid UTF-8");
    }
    EXPECT_EQ(JsonReader::parse("\"\xe6\x97\xa5\""), std::optional<Value>(Value("日")));
}

TEST(ValueTest, DatesBefore1970FormatCorrectly) {
    EXPECT_EQ(Value(Date{-1}).toJson(), R"({"date": "1969-12-31T23:59:59Z"})");
    EXPECT_EQ(Value(Date{978307200}).toJson(), R"({"date": "2001-01-01T00:00:00Z"})");
    // Absurd dates from a file are held at a calendar limit rather than overflowing.
    EXPECT_EQ(Value(Date{1e300}).toJson(), Value(Date{30000.0 * 366 * 86400}).toJson());
    EXPECT_EQ(Value(Date{1e300}).toJson().substr(0, 16), R"({"date": "32032-)");
    EXPECT_EQ(Value(Date{-1e300}).toJson().substr(0, 17), R"({"date": "-28093-)");
}

TEST(ValueTest, RealsBecomeIntegersWithoutOverflow) {
    const std::pair<double, std::int64_t> cases[] = {
        {3.9, 3},
        {-3.9, -3},
        {1e300, 9200000000000000000},
        {-1e300, -9200000000000000000},
        {std::numeric_limits<double>::infinity(), 0},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& [real, integer] : cases) {
        EXPECT_EQ(NumberText::saturatingInteger(real), integer) << real;
        EXPECT_EQ(Value(real).integerValue(), integer) << real;
    }
}

} // namespace
} // namespace velmora
