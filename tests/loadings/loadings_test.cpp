#include "loadings.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace kq71wb {

void PrintTo(const Loading& loading, std::ostream* out)
{
    *out << '"' << loading.name << "\", \"" << loading.weight << "\", \"" << loading.arm << '"';
}

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
        {"unmatched quote runs to the end", "A,1,2\n\"B,3,4\nC,5,6", {a, L{"B,3,4C,5,6", "1", "2"}, {"B,3,4C,5,6", "1", "2"},
                                                                       {"B,3,4C,5,6", "1", "2"}}},
        {"record cut short keeps the previous texts", "A,1,2\nB,3", {a, L{"B", "3", "2"}, L{"B", "3", "2"}, L{"B", "3", "2"}}},
        {"comma before the end gives an empty field", "A,1,\nB,3,4", {L{"A", "1", ""}, b, b, b}},
        {"empty fields between commas", "A,,\n,3,4", {L{"A", "", ""}, L{"", "3", "4"}, L{"", "3", "4"}, L{"", "3", "4"}}},
        {"texts kept as written", "\"Mine\",abc,-1E400", {L{"Mine", "abc", "-1E400"}, L{"Mine", "abc", "-1E400"},
                                                          L{"Mine", "abc", "-1E400"}, L{"Mine", "abc", "-1E400"}}},
        {"byte-order mark dropped", "\xEF\xBB\xBF" "A,1,2\nB,3,4\nC,5,6\nD,7,8", {a, b, c, d}},
        {"UTF-8 kept", "\"Gr\xC3\xBCn\",1,2\nB,3,4\nC,5,6\nD,7,8", {L{"Gr\xC3\xBCn", "1", "2"}, b, c, d}},
        {"Windows-1252 read as such", "\"Gr\xFCn \x80\",1,2\nB,3,4\nC,5,6\nD,7,8",
         {L{"Gr\xC3\xBCn \xE2\x82\xAC", "1", "2"}, b, c, d}},
        {"NUL and control characters dropped, tab kept", std::string("A\0\x01\x7F,6\x00" "00,\"1\t4\x1B\"\nB,3,4\nC,5,6\nD,7,8", 34),
         {L{"A", "600", "1\t4"}, b, c, d}},
        {"C1 controls dropped from UTF-8 and Windows-1252", "\"A\xC2\x85\",1,2\n\"B\x81\xFC\",3,4\nC,5,6\nD,7,8",
         {a, L{"B\xC3\xBC", "3", "4"}, c, d}},
        {"UTF-16, little end first", std::string("\xFF\xFE\"\0G\0r\0\xFC\0\"\0,\0" "6\0" "0\0,\0" "1\0\n\0", 22),
         {L{"Gr\xC3\xBC", "60", "1"}, L{"Gr\xC3\xBC", "60", "1"}, L{"Gr\xC3\xBC", "60", "1"}, L{"Gr\xC3\xBC", "60", "1"}}},
        {"UTF-16, big end first, a pair and a lone surrogate", std::string("\xFE\xFF\xD8\x3D\xDE\x00\xDC\x00\0,\0" "1\0,\0" "2", 16),
         {L{"\xF0\x9F\x98\x80\xEF\xBF\xBD", "1", "2"}, L{"\xF0\x9F\x98\x80\xEF\xBF\xBD", "1", "2"},
          L{"\xF0\x9F\x98\x80\xEF\xBF\xBD", "1", "2"}, L{"\xF0\x9F\x98\x80\xEF\xBF\xBD", "1", "2"}}},
    };
    for (const ParseCase& test : cases) {
        const Loadings loadings = parseLoadings(test.bytes);
        for (std::size_t i = 0; i < kLoadingCount; ++i) {
            EXPECT_EQ(loadings[i], test.expected[i]) << test.name << ", loading " << i;
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
    write("program/KQ71WB.DAT", "Upper,1,2");
    write("program/kq71wb.dat", "Lower,1,2");
    EXPECT_EQ(read()[0].name, "Lower");
}

TEST_F(LoadingsFiles, ConfigurationFolderWhenTheProgramHasNone)
{
    EXPECT_EQ(read(), Loadings{});
    write("home/.config/kq71wb/kq71wb.dat", "Home,1,2");
    EXPECT_EQ(read()[0].name, "Home");

    std::filesystem::create_directories(m_root / "xdg" / "kq71wb");
    write("xdg/kq71wb/KQ71WB.dat", "Xdg,1,2");
    EXPECT_EQ(read((m_root / "xdg").string())[0].name, "Xdg");
    EXPECT_EQ(read("relative/ignored")[0].name, "Home");

    write("program/kq71wb.dat", "Program,1,2");
    EXPECT_EQ(read()[0].name, "Program");
}

// A directory, a pipe or a link to one where the file should be counts as no
// file, and is passed over without waiting for a writer.
TEST_F(LoadingsFiles, OnlyARegularFileCounts)
{
    std::filesystem::create_directories(m_root / "program" / "kq71wb.dat");
    ASSERT_EQ(::mkfifo((m_root / "program/KQ71WB.dat").c_str(), 0600), 0);
    std::filesystem::create_symlink(m_root / "program/KQ71WB.dat", m_root / "program/KQ71WB.DAT");
    write("home/.config/kq71wb/real.dat", "Home,1,2");
    std::filesystem::create_symlink(m_root / "home/.config/kq71wb/real.dat", m_root / "home/.config/kq71wb/kq71wb.dat");
    EXPECT_EQ(read()[0].name, "Home");
}

// A file whose reading would block (as /proc/kmsg does) gives what it has at
// once: here a pipe whose writer stays open.
TEST(ReadAvailableBytes, NeverWaitsForMore)
{
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ASSERT_EQ(::write(ends[1], "A,1,2\n", 6), 6);
    EXPECT_EQ(readAvailableBytes(ends[0], kMaxFileBytes), "A,1,2\n");
    EXPECT_EQ(readAvailableBytes(ends[0], kMaxFileBytes), "");
    ::close(ends[0]);
    ::close(ends[1]);
}

}  // namespace
}  // namespace kq71wb
