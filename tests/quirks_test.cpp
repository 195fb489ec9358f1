// docs/quirks.md names, for every quirk, the tests that hold it: each name
// given there must be a test of this program, in the file given.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

TEST(QuirksDocument, NamesOnlyTestsThatExistInTheirFiles)
{
    std::ifstream in(KV_SOURCE_DIR "/docs/quirks.md");
    ASSERT_TRUE(in.good());
    std::stringstream text;
    text << in.rdbuf();
    const std::string doc = text.str();

    std::set<std::string> tests;  // "file Suite.Name"
    const ::testing::UnitTest &unit = *::testing::UnitTest::GetInstance();
    for (int i = 0; i < unit.total_test_suite_count(); i++) {
        const ::testing::TestSuite &suite = *unit.GetTestSuite(i);
        for (int j = 0; j < suite.total_test_count(); j++) {
            const ::testing::TestInfo &t = *suite.GetTestInfo(j);
            std::string file = t.file();
            file = file.substr(file.rfind("/tests/") + 7);
            tests.insert(file + " " + t.test_suite_name() + "." + t.name());
        }
    }

    // Each "*Held by*" paragraph: a file in backticks, then test names, and
    // perhaps another file with its names.
    const std::regex held(R"(\*Held by\*([^*]*?)(\n\n|\n- |\n## |$))");
    const std::regex part(R"(`([a-z_/]+\.cpp)`|([A-Z][A-Za-z]+\.[A-Z][A-Za-z0-9]+))");
    int quirks = 0, names = 0;
    for (std::sregex_iterator h(doc.begin(), doc.end(), held), end; h != end; ++h) {
        quirks++;
        const std::string body = (*h)[1];
        std::string file;
        for (std::sregex_iterator p(body.begin(), body.end(), part); p != end; ++p) {
            if ((*p)[1].matched) {
                file = (*p)[1];
                continue;
            }
            names++;
            EXPECT_TRUE(tests.count(file + " " + std::string((*p)[2])))
                << "docs/quirks.md names " << (*p)[2] << " in tests/" << file << ", which has no such test";
        }
    }
    EXPECT_GE(quirks, 30);
    EXPECT_GE(names, quirks);
    // Every quirk has its line.
    size_t bullets = 0;
    for (size_t at = doc.find("\n- **"); at != std::string::npos; at = doc.find("\n- **", at + 1))
        bullets++;
    EXPECT_EQ(size_t(quirks), bullets);
}
