#include "version/BuildVersion.h"
#include "app/VersionLabel.h"

#include "ExpectedVersionLabel.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace brimhold::app;

namespace {

struct VersionCase {
    int major, minor, revision;
    const char* label;
};

void PrintTo(const VersionCase& c, std::ostream* os) {
    *os << '"' << c.label << '"';
}

class VersionLabelFormat : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionLabelFormat, PadsMinorToTwoAndRevisionToFourDigits) {
    const VersionCase& c = GetParam();
    EXPECT_EQ(VersionLabel::format(c.major, c.minor, c.revision).toStdString(), c.label);
}

INSTANTIATE_TEST_SUITE_P(Cases, VersionLabelFormat,
                         ::testing::Values(VersionCase{0, 9, 4, "0.09 rev. #0004"},
                                           VersionCase{0, 10, 4, "0.10 rev. #0004"},
                                           VersionCase{1, 23, 12, "1.23 rev. #0012"},
                                           VersionCase{2, 0, 0, "2.00 rev. #0000"},
                                           VersionCase{12, 345, 67890, "12.345 rev. #67890"}),
                         [](const ::testing::TestParamInfo<VersionCase>& info) {
                             const VersionCase& c = info.param;
                             return "v" + std::to_string(c.major) + "_" + std::to_string(c.minor) + "_" +
                                    std::to_string(c.revision);
                         });

TEST(VersionLabel, ReadsADottedVersionString) {
    EXPECT_EQ(VersionLabel::fromVersionString(QStringLiteral("0.9.4")).toStdString(), "0.09 rev. #0004");
    EXPECT_EQ(VersionLabel::fromVersionString(QStringLiteral("3.11")).toStdString(), "3.11 rev. #0000");
}

TEST(VersionLabel, TheProjectVersionReadsAsTheBannerShowsIt) {
    EXPECT_EQ(VersionLabel::fromVersionString(QStringLiteral(BRIMHOLD_VERSION_STRING)).toStdString(),
              expectedVersionLabel().toStdString());
}

}  // namespace
