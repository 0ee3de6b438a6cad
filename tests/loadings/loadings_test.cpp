#include "loadings.h"
#include "text_encoding.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "sha256.h"

namespace kq71wb {

void PrintTo(const Loading& loading, std::ostream* out)
{
    *out << '"' << loading.name << "\", \"" << loading.weight << "\", \"" << loading.arm << '"';
}

namespace {

using L = Loading;
using namespace std::string_literals;  // "\0"s keeps its NUL

Loadings fourOf(L a, L b, L c, L d) { return {a, b, c, d}; }
Loadings fourOf(L a) { return {a, a, a, a}; }

// How a file's records fill the four loadings, and how a field's text is read.
TEST(ParseLoadings, RecordsAndFieldTexts)
{
    const L a{"A", "1", "2"}, b{"B", "3", "4"}, c{"C", "5", "6"}, d{"D", "7", "8"};
    const std::tuple<const char*, std::string, Loadings> cases[] = {
        {"two records repeat the second", "A,1,2\nB,3,4\n", fourOf(a, b, b, b)},
        {"records after the fourth are not read", "A,1,2\nB,3,4\nC,5,6\nD,7,8\nE,9,10\n", fourOf(a, b, c, d)},
        {"blank lines; LF, CR and CR LF", "\n\nA,1,2\n\n  \nB,3,4\rC,5,6\r\n\r\nD,7,8", fourOf(a, b, c, d)},
        {"unmatched quote runs to the end", "A,1,2\n\"B,3,4\nC,5,6", fourOf(a, {"B,3,4C,5,6", "", ""}, {"B,3,4C,5,6", "", ""}, {"B,3,4C,5,6", "", ""})},
        {"a record cut short borrowed the arm of the one before", "A,1,2\nB,3", fourOf(a, {"B", "3", ""}, {"B", "3", ""}, {"B", "3", ""})},
        {"empty fields between commas", "A,,\n,3,4", fourOf({"A", "", ""}, {"", "3", "4"}, {"", "3", "4"}, {"", "3", "4"})},
        // How a field's text is read, whatever the editor that wrote it.
        {"blanks around unquoted fields", "  A  ,\t1 , 2\t\n", fourOf(L{"A", "1", "2"})},
        {"byte-order mark dropped", "\xEF\xBB\xBF" "A,1,2", fourOf(L{"A", "1", "2"})},
        {"Windows-1252 read as such", "\"Gr\xFCn \x80\",1,2", fourOf(L{"Gr\xC3\xBCn \xE2\x82\xAC", "1", "2"})},
        {"NUL and control characters dropped, tab kept", "A\0\x01\x7F,6\x00" "00,\"1\t4\x1B\""s, fourOf(L{"A", "600", "1\t4"})},
        {"C1 controls dropped from Windows-1252", "\"B\x81\xFC\",3,4", fourOf(L{"B\xC3\xBC", "3", "4"})},
        {"every Windows-1252 character, the five it leaves undefined dropped",
         "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F,1,2",
         fourOf(L{"\u20AC\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u017D\u2018\u2019\u201C\u201D"
                  "\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u017E\u0178", "1", "2"})},
        {"UTF-8 at the edges of each length kept", "\xDF\xBF\xE0\xA0\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF,1,2",
         fourOf(L{"\xDF\xBF\xE0\xA0\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", "1", "2"})},
        {"overlong UTF-8 read as Windows-1252", "\xE0\x9F\xBF,\xC1\xBF,\xF0\x8F\xBF\xBF",
         fourOf(L{"\xC3\xA0\xC5\xB8\xC2\xBF", "\xC3\x81\xC2\xBF", "\xC3\xB0\xC2\xBF\xC2\xBF"})},
        {"surrogates, code points past U+10FFFF and cut sequences too", "\xED\xA0\x80,\xF4\x90\x80\x80,\xC3",
         fourOf(L{"\xC3\xAD\xC2\xA0\xE2\x82\xAC", "\xC3\xB4\xE2\x82\xAC\xE2\x82\xAC", "\xC3\x83"})},
        // U+202E, U+2066, U+FEFF, U+200B, U+2060, U+061C, U+180E, U+00AD, U+E0041 dropped; U+2010 kept.
        {"format characters dropped", "\"\xE2\x80\xAE" "N271KQ\xE2\x81\xA6\xE2\x80\x90\",\xE2\x80\xAE" "006\xEF\xBB\xBF,"
                                      "1\xE2\x80\x8B" "4\xE2\x81\xA0\xD8\x9C\xE1\xA0\x8E\xC2\xAD\xF3\xA0\x81\x81",
         fourOf(L{"N271KQ\xE2\x80\x90", "006", "14"})},
        {"UTF-16, little end first", "\xFF\xFE\"\0G\0r\0\xFC\0\"\0,\0" "6\0" "0\0,\0" "1\0\n\0"s, fourOf(L{"Gr\xC3\xBC", "60", "1"})},
        // UTF-16 without a mark misparsed into buttons of stray letters.
        {"UTF-16 without a mark, little end first", "\"\0G\0r\0\xFC\0\"\0,\0" "6\0" "0\0,\0" "1\0\n\0"s, fourOf(L{"Gr\xC3\xBC", "60", "1"})},
        {"UTF-16, big end first, a pair and lone surrogates", "\xFE\xFF\xD8\x3D\xDE\x00\xDC\x00\xDC\x00\0,\0" "1\0,\0" "2"s,
         fourOf(L{"\xF0\x9F\x98\x80\xEF\xBF\xBD\xEF\xBF\xBD", "1", "2"})},
    };
    for (const auto& [name, bytes, expected] : cases)
        EXPECT_EQ(parseLoadings(bytes), expected) << name;
    // How many records a file holds, past the fourth too (the examples above recordCount).
    const std::pair<std::string, std::size_t> counts[] = {
        {"\"A\",1,2\n\"B\",3,4\n", 2}, {"\"A\",1", 1}, {"\n\n", 0}, {"A,1,2\nB,3,4\nC,5,6\nD,7,8\nE,9,10\n", 5}};
    for (const auto& [bytes, count] : counts)
        EXPECT_EQ(recordCount(bytes), count) << bytes;
}

// The one UTF-8 decoder, which the sheet's words and session use too: a byte
// that starts no well-formed character is a U+FFFD of its own.
TEST(NextCharacter, EachCharacterOrAReplacementPerByte)
{
    // The examples above it, and a character of each length.
    const std::pair<std::string, std::u32string> cases[] = {
        {"\u00E9", U"\u00E9"}, {"\xC3", U"\uFFFD"}, {"\xE2\x82", U"\uFFFD\uFFFD"}, {"A\u20AC\U0001F600", U"A\u20AC\U0001F600"}};
    for (const auto& [bytes, characters] : cases) {
        std::u32string read;
        for (std::size_t at = 0; at < bytes.size();)
            read += nextCharacter(bytes, at);
        EXPECT_TRUE(read == characters) << testing::PrintToString(bytes);
    }
}

TEST(ParseLoadings, OverLongFieldsAreCut)
{
    const std::string longName(10000, 'N');
    EXPECT_EQ(parseLoadings("\"" + longName + "\",600,14\n")[0], (L{longName.substr(0, kMaxFieldBytes), "600", "14"}));
    // A cut never splits a character: after one byte, 3000 two-byte characters
    // put the cut in the middle of one.
    std::string umlauts = "N";
    for (int i = 0; i < 3000; ++i)
        umlauts += "\xC3\xBC";
    EXPECT_EQ(parseLoadings(umlauts + ",1,2")[0].name, umlauts.substr(0, kMaxFieldBytes - 1));
    // Windows-1252 text grows when converted; the cut applies to the result.
    EXPECT_EQ(parseLoadings(std::string(3000, '\xFC') + ",1,2")[0].name.size(), kMaxFieldBytes);
    // The fourth record starts past the first 64 KiB, so it is never seen.
    EXPECT_EQ(parseLoadings("A,1,2\nB,3,4\nC,5,6\n" + std::string(kMaxFileBytes, ' ') + "D,7,8\n")[3], (L{"C", "5", "6"}));
}

class LoadingsFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = std::filesystem::temp_directory_path() / ("kq71wb-loadings-" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root / "program");
        std::filesystem::create_directories(m_root / "home" / ".config" / "kq71wb");
    }
    void TearDown() override { std::filesystem::remove_all(m_root); }

    void write(const std::filesystem::path& path, const std::string& bytes) { std::ofstream(m_root / path, std::ios::binary) << bytes; }
    std::vector<std::filesystem::path> candidates(std::string_view xdg = "")
    {
        return loadingsFileCandidates(m_root / "program", xdg, (m_root / "home").string());
    }
    std::string firstName(std::string_view xdg = "") { return ReadLoadings(candidates(xdg))[0].name; }

    std::filesystem::path m_root;
};

long openFiles() { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); }

// The program's folder is looked in first, then the configuration folder:
// $XDG_CONFIG_HOME when it is absolute, else ~/.config. The sample the build
// put beside the program hid the user's own file in their configuration
// folder: a file of examples only gives way to it, and the file read is named.
// procfs calls its files regular and empty, whatever they give when read
// (/proc/kmsg drains the kernel's messages): such a file gives blank buttons,
// and the candidates after it are not looked at.
TEST_F(LoadingsFiles, WhichFileIsRead)
{
    EXPECT_EQ(firstName(), "");
    write("home/.config/kq71wb/kq71wb.dat", "Home,1,2");
    EXPECT_EQ(firstName(), "Home");
    std::filesystem::create_directories(m_root / "xdg" / "kq71wb");
    write("xdg/kq71wb/KQ71WB.dat", "Xdg,1,2");
    EXPECT_EQ(firstName((m_root / "xdg").string()), "Xdg");
    EXPECT_EQ(firstName("relative/ignored"), "Home");
    write("program/kq71wb.dat", "\"N271KQ (example)\",612.5,23.6\n");
    EXPECT_EQ(ReadLoadingsFile(candidates()).file, m_root / "home/.config/kq71wb/kq71wb.dat");
    EXPECT_EQ(firstName(), "Home");
    EXPECT_EQ(ReadLoadings({m_root / "program/kq71wb.dat", m_root / "none.dat"})[0].name, "N271KQ (example)");
    write("program/KQ71WB.dat", "Later,1,2");
    EXPECT_EQ(ReadLoadings({m_root / "program/none.dat", "/proc/self/status", m_root / "program/KQ71WB.dat"}), Loadings{});
}

// What is where the user's file should be and cannot be read was passed over
// in silence (and the sample's examples loaded in its place): it is named,
// with why, and nothing stands in for it. Each is looked at without waiting
// for a writer or a device, and closed.
TEST_F(LoadingsFiles, WhatCannotBeReadIsNamed)
{
    write("program/kq71wb.dat", "\"N271KQ (example)\",612.5,23.6\n");
    const std::filesystem::path mine = m_root / "home/.config/kq71wb/kq71wb.dat";
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { std::filesystem::create_directory(mine); }, "it is a folder, not a file"},
        {[&] { ::mkfifo(mine.c_str(), 0600); }, "it is a named pipe, not a file"},
        {[&] { std::filesystem::create_symlink("/dev/zero", mine); }, "it is a device, not a file"},
        {[&] { std::filesystem::create_symlink(m_root / "gone.dat", mine); }, "it is a link to nothing"},
        {[&] {
             write("home/.config/kq71wb/kq71wb.dat", "Mine,1,2\n");
             std::filesystem::permissions(mine, std::filesystem::perms::none);
         },
         "it cannot be read (permission denied)"},
    };
    for (const auto& [put, problem] : cases) {
        std::filesystem::remove_all(mine);
        put();
        const long before = openFiles();
        // Permissions do not stop root: the user's own file is read as another user.
        const bool asNobody = ::geteuid() == 0 && problem.find("permission") != std::string::npos;
        if (asNobody && ::seteuid(65534) != 0)
            GTEST_SKIP() << "running as root, and cannot read as another user";
        const LoadingsRead read = ReadLoadingsFile(candidates());
        if (asNobody) {
            ASSERT_EQ(::seteuid(0), 0);
        }
        EXPECT_EQ(read.problem, problem);
        EXPECT_EQ(read.file, mine) << problem;
        EXPECT_EQ(read.loadings, Loadings{}) << problem;
        EXPECT_EQ(openFiles(), before) << problem;
    }
}

// The digest was of the first 64 KiB read, not of the file that sha256sum
// names; the file's time was taken before its bytes, so a file rewritten in
// between gave the old time beside the new bytes.
TEST_F(LoadingsFiles, OneReadOfTheWholeFile)
{
    std::string weighings;
    while (weighings.size() <= 2 * kMaxFileBytes)
        weighings += "\"N271KQ weighed " + std::to_string(weighings.size()) + "\",612.5,23.6\n";
    write("weighings.dat", weighings);
    FileRead read = readFileAt(m_root / "weighings.dat");
    EXPECT_EQ(read.sha256, sha256Hex(weighings));
    EXPECT_EQ(read.size, weighings.size());
    EXPECT_EQ(read.head, weighings.substr(0, kMaxFileBytes));

    // Rewritten after its bytes were read: read again, the new bytes beside the new time.
    write("club.dat", "\"Old\",600,14\n");
    int rewrites = 0;
    read = readFileAt(m_root / "club.dat", [&] {
        if (rewrites++ > 0)
            return;
        write("club.dat", "\"New\",610,14\n");
        const timespec times[2] = {{1796702940, 0}, {1796702940, 0}};
        ::utimensat(AT_FDCWD, (m_root / "club.dat").c_str(), times, 0);
    });
    EXPECT_EQ(read.head, "\"New\",610,14\n");
    EXPECT_EQ(read.modified, 1796702940);
    EXPECT_EQ(read.sha256, sha256Hex(read.head));
}

}  // namespace
}  // namespace kq71wb
