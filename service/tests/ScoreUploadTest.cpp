#include <gtest/gtest.h>

#include <cctype>

#include "ScoreUpload.h"
#include "support/ScoreRecordBuilder.h"

namespace {

std::span<const std::uint8_t> span(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TEST(ScoreUploadTest, keepsSignedEntriesAndSkipsRowsTheGameNeverSigned) {
    ScoreRecordBuilder builder(0xCAFE0001, "FR");
    builder.entry(1, 0, "Ann", 95000, 1234567890123).entry(4, 9, "Bob", -5);
    // A row entered without a digest: byte 0 is 1, the rest of the digest zero.
    builder.raw()[ScoreRecordBuilder::offset(2, 0)] = 1;
    ScoreUpload upload;
    std::string error;
    ASSERT_TRUE(upload.parse(span(builder.bytes()), error)) << error;
    EXPECT_EQ(upload.installationId, 0xCAFE0001u);
    EXPECT_EQ(upload.countryCode, "FR");
    ASSERT_EQ(upload.entries.size(), 2u);
    EXPECT_EQ(upload.entries[0].table, 1);
    EXPECT_EQ(upload.entries[0].name, "Ann");
    EXPECT_EQ(upload.entries[0].score, 95000);
    EXPECT_EQ(upload.entries[0].time, 1234567890123);
    EXPECT_EQ(upload.entries[1].table, 4);
    EXPECT_EQ(upload.entries[1].place, 9);
    EXPECT_EQ(upload.entries[1].score, -5);
}

TEST(ScoreUploadTest, namesBecomeOneLineOfValidText) {
    ScoreRecordBuilder builder(7);
    builder.entry(0, 0,
                  "A\nB\xC3\xA9\xFF\xED\xA0\x80"
                  "C",
                  1);
    ScoreUpload upload;
    std::string error;
    ASSERT_TRUE(upload.parse(span(builder.bytes()), error)) << error;
    EXPECT_EQ(upload.entries.at(0).name,
              "A B\xC3\xA9\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
              "C");
}

// Each damage turns a good record into one that must be refused whole.
struct Damage {
    const char* what;
    void (*apply)(ScoreRecordBuilder&, std::string&);
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.what; }

const Damage kDamages[] = {
    {"truncated", [](ScoreRecordBuilder& b, std::string& r) { r = b.bytes().substr(0, ScoreUpload::kRecordSize - 1); }},
    {"one byte too long", [](ScoreRecordBuilder& b, std::string& r) { r = b.bytes() + '\0'; }},
    {"empty", [](ScoreRecordBuilder&, std::string& r) { r.clear(); }},
    {"changed after signing",
     [](ScoreRecordBuilder& b, std::string& r) {
         r = b.bytes();
         r[200] ^= 1;
     }},
    {"entry changed, record signed again",
     [](ScoreRecordBuilder& b, std::string& r) {
         b.raw()[ScoreRecordBuilder::offset(4, 9) + 272] ^= 1;  // the last entry's score
         r = b.bytes();
     }},
    {"no installation id",
     [](ScoreRecordBuilder& b, std::string& r) {
         std::fill_n(&b.raw()[96], 4, 0);
         r = b.bytes();
     }},
    {"another game",
     [](ScoreRecordBuilder& b, std::string& r) {
         b.raw()[16] = 'X';
         r = b.bytes();
     }},
    {"country code not letters",
     [](ScoreRecordBuilder& b, std::string& r) {
         b.raw()[100] = '<';
         r = b.bytes();
     }},
};

class ScoreUploadRefusalTest : public ::testing::TestWithParam<Damage> {};

TEST_P(ScoreUploadRefusalTest, refusesTheWholeRecord) {
    ScoreRecordBuilder builder(42);
    builder.entry(0, 0, "first", 100).entry(4, 9, "last", 50);
    std::string record;
    GetParam().apply(builder, record);
    ScoreUpload upload;
    std::string error;
    EXPECT_FALSE(upload.parse(span(record), error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(upload.entries.empty());
}

INSTANTIATE_TEST_SUITE_P(Damages, ScoreUploadRefusalTest, ::testing::ValuesIn(kDamages),
                         [](const ::testing::TestParamInfo<Damage>& info) {
                             std::string name = info.param.what;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
