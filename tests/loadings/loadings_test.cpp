#include "loadings.h"

#include <gtest/gtest.h>

#include <fstream>

namespace kq71wb {
namespace {

using L = Loading;

struct ParseCase {
    const char* name;
    std::string bytes;
    Loadings expected;
};

TEST(ParseLoadings, Files)
{
    const L a{"A", "1", "2"}, b{"B", "3", "4"}, c{"C", "5", "6"}, d{"D", "7", "8"};
    const ParseCase cases[] = {
        {"the usual four lines", "\"N271KQ\",612.5,14.37\r\n\"N371KQ\",598,14.52\r\n\"N471KQ\",621.25,14.18\r\n"
                                 "\"N571KQ\",605.5,14.61\r\n",
         {L{"N271KQ", "612.5", "14.37"}, L{"N371KQ", "598", "14.52"}, L{"N471KQ", "621.25", "14.18"},
          L{"N571KQ", "605.5", "14.61"}}},
        {"comma inside quotes", "\"Club, two\",600,14\nB,3,4\nC,5,6\nD,7,8\n",
         {L{"Club, two", "600", "14"}, b, c, d}},
        {"two records repeat the second", "A,1,2\nB,3,4\n", {a, b, b, b}},
        {"empty file", "", {}},
        {"records after the fourth are not read", "A,1,2\nB,3,4\nC,5,6\nD,7,8\nE,9,10\n", {a, b, c, d}},
        {"blank lines between records", "\n\nA,1,2\n\n  \nB,3,4\r\n\r\nC,5,6\n\nD,7,8", {a, b, c, d}},
        {"LF, CR and CR LF line ends", "A,1,2\nB,3,4\rC,5,6\r\nD,7,8", {a, b, c, d}},
        {"records need not be one a line", "A,1,2,B,3\n4,C\n5\n6,D,7,8", {a, b, c, d}},
        {"blanks around unquoted fields", "  A  ,\t1 , 2\t\nB,3,4\nC,5,6\nD,7,8", {a, b, c, d}},
        {"text after a closing quote skipped", "\"A\" junk,1,2\nB,3,4\nC,5,6\nD,7,8", {a, b, c, d}},
        {"unmatched quote runs to the end", "A,1,2\n\"B,3,4\nC,5,6", {a, L{"B,3,4\nC,5,6", "1", "2"}, {"B,3,4\nC,5,6", "1", "2"},
                                                                       {"B,3,4\nC,5,6", "1", "2"}}},
        {"record cut short keeps the previous texts", "A,1,2\nB,3", {a, L{"B", "3", "2"}, L{"B", "3", "2"}, L{"B", "3", "2"}}},
        {"comma before the end gives an empty field", "A,1,\nB,3,4", {L{"A", "1", ""}, b, b, b}},
        {"empty fields between commas", "A,,\n,3,4", {L{"A", "", ""}, L{"", "3", "4"}, L{"", "3", "4"}, L{"", "3", "4"}}},
        {"texts kept as written", "\"Mine\",abc,-1E400", {L{"Mine", "abc", "-1E400"}, L{"Mine", "abc", "-1E400"},
                                                          L{"Mine", "abc", "-1E400"}, L{"Mine", "abc", "-1E400"}}},
        {"byte-order mark dropped", "\xEF\xBB\xBF" "A,1,2\nB,3,4\nC,5,6\nD,7,8", {a, b, c, d}},
        {"UTF-8 kept", "\"Gr\xC3\xBCn\",1,2\nB,3,4\nC,5,6\nD,7,8", {L{"Gr\xC3\xBCn", "1", "2"}, b, c, d}},
        {"Windows-1252 read as such", "\"Gr\xFCn \x80\",1,2\nB,3,4\nC,5,6\nD,7,8",
         {L{"Gr\xC3\xBCn \xE2\x82\xAC", "1", "2"}, b, c, d}},
        {"NUL and control bytes stay in their field", std::string("A\0\x01,1,2\nB,3,4\nC,5,6\nD,7,8", 25),
         {L{std::string("A\0\x01", 3), "1", "2"}, b, c, d}},
    };
    for (const ParseCase& test : cases) {
        const Loadings loadings = parseLoadings(test.bytes);
        for (std::size_t i = 0; i < kLoadingCount; ++i) {
            EXPECT_EQ(loadings[i], test.expected[i]) << test.name << ", loading " << i << ": \"" << loadings[i].name
                                                     << "\", \"" << loadings[i].weight << "\", \"" << loadings[i].arm << '"';
        }
    }
}

TEST(ParseLoadings, OverLongFieldsAreCut)
{
    const std::string longName(10000, 'N');
    Loadings loadings = parseLoadings("\"" + longName + "\",600,14\n");
    EXPECT_EQ(loadings[0].name, longName.substr(0, kMaxFieldBytes));
    EXPECT_EQ(loadings[0].weight, "600");

    // A cut never splits a character: 3000 two-byte characters are 6000 bytes.
    std::string umlauts;
    for (int i = 0; i < 3000; ++i)
        umlauts += "\xC3\xBC";
    loadings = parseLoadings(umlauts + ",1,2");
    EXPECT_EQ(loadings[0].name, umlauts.substr(0, kMaxFieldBytes));

    // Windows-1252 text grows when converted; the cut applies to the result.
    loadings = parseLoadings(std::string(3000, '\xFC') + ",1,2");
    EXPECT_EQ(loadings[0].name.size(), kMaxFieldBytes);
}

TEST(ParseLoadings, ReadsOnlyTheStartOfAHugeFile)
{
    // The fourth record starts past the first 64 KiB, so it is never seen.
    std::string bytes = "A,1,2\nB,3,4\nC,5,6\n" + std::string(kMaxFileBytes, ' ') + "D,7,8\n";
    const Loadings loadings = parseLoadings(bytes);
    EXPECT_EQ(loadings[3], (L{"C", "5", "6"}));
}

class LoadingsFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = std::filesystem::temp_directory_path() /
                 ("kq71wb-loadings-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root / "program");
        std::filesystem::create_directories(m_root / "home" / ".config" / "kq71wb");
    }
    void TearDown() override { std::filesystem::remove_all(m_root); }

    void write(const std::filesystem::path& path, const std::string& bytes)
    {
        std::ofstream(m_root / path, std::ios::binary) << bytes;
    }
    Loadings read(std::string_view xdg = "")
    {
        return ReadLoadings(loadingsFileCandidates(m_root / "program", xdg, (m_root / "home").string()));
    }

    std::filesystem::path m_root;
};

TEST_F(LoadingsFiles, NoFileGivesFourEmptyLoadings)
{
    EXPECT_EQ(read(), Loadings{});
}

TEST_F(LoadingsFiles, ProgramDirectoryUnderEachSpelling)
{
    for (const char* name : {"kq71wb.dat", "KQ71WB.dat", "KQ71WB.DAT"}) {
        SCOPED_TRACE(name);
        std::filesystem::remove_all(m_root / "program");
        std::filesystem::create_directories(m_root / "program");
        write(std::filesystem::path("program") / name, "Mine,1,2");
        EXPECT_EQ(read()[0], (L{"Mine", "1", "2"}));
    }
}

TEST_F(LoadingsFiles, LowerCaseNameComesFirst)
{
    write("program/KQ71WB.DAT", "upper,1,2");
    write("program/kq71wb.dat", "Lower,1,2");
    EXPECT_EQ(read()[0].name, "Lower");
}

TEST_F(LoadingsFiles, ConfigurationFolderWhenTheProgramHasNone)
{
    write("home/.config/kq71wb/kq71wb.dat", "Home,1,2");
    EXPECT_EQ(read()[0].name, "Home");

    std::filesystem::create_directories(m_root / "xdg" / "kq71wb");
    write("xdg/kq71wb/KQ71WB.dat", "Xdg,1,2");
    EXPECT_EQ(read((m_root / "xdg").string())[0].name, "Xdg");
    EXPECT_EQ(read("relative/ignored")[0].name, "Home");

    write("program/kq71wb.dat", "Program,1,2");
    EXPECT_EQ(read()[0].name, "Program");
}

TEST_F(LoadingsFiles, DirectoryWhereTheFileShouldBeCountsAsMissing)
{
    std::filesystem::create_directories(m_root / "program" / "kq71wb.dat");
    EXPECT_EQ(read(), Loadings{});
    write("home/.config/kq71wb/kq71wb.dat", "Home,1,2");
    EXPECT_EQ(read()[0].name, "Home");
}

}  // namespace
}  // namespace kq71wb
