// The cross sections read, ruled and written split between threads: the
// document, or the failure, is the same whatever the number of parts.
#include "crosssection/CrSec.h"
#include "crosssection/CrSecBuilder.h"
#include "crosssection/CrSecExport.h"
#include "import/CrListing.h"

#include "landxml/LandXmlFixture.h"

#include <string>

using namespace vialto;
using namespace vialto::test;

namespace {

// A listing of `stations` sections 10 m apart whose lines start and end (the
// rules add copies), with blank lines, skipped "E" sections and repeated
// point lines; from station 400 on a new layer is listed first (layers are
// numbered in the order first named). `codes[k]`: the k-th point kind's code.
std::string Listing(int stations, const std::vector<std::string> &codes) {
    std::string text = "*TRV\r\nsplit test\r\n";
    for (int s = 0; s < stations; ++s) {
        if (s % 50 == 7)
            text += std::to_string(s * 10 + 5) + "E,2\r\n1,2,X\r\n3,4,X\r\n";
        if (s % 9 == 0)
            text += "\r\n";
        std::vector<std::string> lines;
        const double drift = (s % 13) * 0.05;
        if (s >= 400)
            lines.push_back("-6.000,99.000," + codes[3]);
        lines.push_back("-9.000,100.000," + codes[0]);
        lines.push_back(std::to_string(-7.5 - drift) + ",100.500," + codes[0]);
        for (int p = 0; p < 3 + (s / 7) % 2; ++p)
            lines.push_back(std::to_string(-3.5 + 2.5 * p + drift) + ",101.000," + codes[1]);
        lines.push_back("3.500,101.000," + codes[2]);
        lines.push_back(""); // repeats the line before
        lines.push_back("4.000,100.800," + codes[2]);
        text += std::to_string(s * 10) + "," + std::to_string(lines.size()) + "\r\n";
        for (const std::string &line : lines)
            text += line + "\r\n";
    }
    return text;
}

class CrossSectionSplit : public LandXmlFixture {
  protected:
    void SetUp() override {
        LandXmlFixture::SetUp();
        StoreWithVerticalAlignment();
    }

    // The document of the listing read, ruled and exported in `parts` parts;
    // a failed reading gives its failure's text instead.
    std::string Convert(const std::string &listing, std::string_view extension, std::size_t parts) {
        CrossSectionSet set;
        ListingFailure failure;
        if (!ReadCrListing(listing, extension, set, &failure, "split", parts)) {
            ExpectMessage(failure.Text());
            return failure.Text();
        }
        return WriteStraight(0, 15000, [&] {
            NullProgress progress;
            double first = 0, last = 0;
            EXPECT_EQ(CrExportResult::Written,
                      RuleAndExportCrossSections(set, "", 0, 0, progress, first, last, parts));
        });
    }
};

} // namespace

TEST_F(CrossSectionSplit, SameDocumentAndSameFailureInAnyNumberOfParts) {
    const std::vector<std::string> named = {"IDESMO1", "IEJE", "ISUBRAS1", "IEXPLA1"};
    const std::vector<std::string> fixed = {"T1", "P1", "S1", "T2"};
    std::string failing = Listing(1500, named);
    failing.replace(failing.rfind("-9.000,100.000"), 6, "-9.0x0");
    const std::string ended = Listing(200, named) + "FIN\r\n" + Listing(1000, named).substr(6) +
                              "10,2\r\nnot a point\r\n";
    const struct {
        const char *Name;
        std::string Text;
        const char *Extension;
        const char *Expected; // in the document or the failure
    } cases[] = {
        {"layer names", Listing(1500, named), "TRV2", "<CrossSect sta=\"14990.000000\">"},
        {"point codes", Listing(1500, fixed), "TRV", "<CrossSect sta=\"14990.000000\">"},
        {"a failure late in the listing", failing, "TRV2", "field 1 (offset) is not a number"},
        {"FIN before the middle", ended, "TRV2", "<CrossSect sta=\"1990.000000\">"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string whole = Convert(c.Text, c.Extension, 1);
        EXPECT_NE(whole.find(c.Expected), std::string::npos) << whole.substr(0, 300);
        for (const std::size_t parts : {2, 5})
            EXPECT_EQ(whole, Convert(c.Text, c.Extension, parts)) << parts << " parts";
    }
}
