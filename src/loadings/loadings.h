#pragma once

// The four standard loadings, one per glider, that the user keeps in a small
// text file and that start-up puts on the four loading buttons.

#include <array>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kq71wb {

// Name, empty weight and empty arm, kept exactly as written in the file: the
// texts reach the aircraft-empty row unchanged and are read as numbers only
// there.
struct Loading {
    std::string name;
    std::string weight;
    std::string arm;

    bool operator==(const Loading&) const = default;
};

inline constexpr std::size_t kLoadingCount = 4;
using Loadings = std::array<Loading, kLoadingCount>;

inline constexpr std::size_t kMaxFieldBytes = 4096;
inline constexpr std::size_t kMaxFileBytes = 64 * 1024;

// The loadings in the bytes of a file. Fields are separated by commas or line
// ends (CR LF, LF or CR); each record is simply the next three fields.
//   "N271KQ",612.5,14.37          -> {"N271KQ", "612.5", "14.37"}
//   "Club, two",600 ,14           -> {"Club, two", "600", "14"}   (blanks before the comma dropped)
//   "Mine"x,1,2                   -> {"Mine", "1", "2"}           (after the closing quote, skipped)
//   A,1,                          -> {"A", "1", ""}               (a comma before the end: an empty field)
// blanks and blank lines before a field are skipped. A file of two records
// gives its second record to loadings 2 and 3; a record cut short by the end
// of the file has empty texts for the fields it lacks, never another
// record's. An unmatched quote runs to
// the end of the file. Only the first 64 KiB are read and a field is cut at
// 4096 bytes. Text that is not valid UTF-8 is taken as Windows-1252, and text
// after a UTF-16 byte-order mark (either order) as UTF-16; the result is UTF-8
// either way, without a byte-order mark.
// A file that goes on past what is read (`more`, or more than 64 KiB given)
// loses the line the cut falls in, whole: 65,520 blanks then
// "N271KQ",612.5,23.6 would otherwise give an arm of 2.
Loadings parseLoadings(std::string_view bytes, bool more = false);

// How many records (gliders) the bytes hold, each the next three fields, the
// last one counted though cut short: a file may hold more than the four
// loadings.   "\"A\",1,2\n\"B\",3,4\n" -> 2     "\"A\",1" -> 1     "\n\n" -> 0
std::size_t recordCount(std::string_view bytes, bool more = false);

// The lines of a loadings file, counted from 1, that do not hold three
// fields, blank lines aside: a name with a comma in curly quotes, as a phone
// types them, splits into four. "“Club, two”,598,23.9" -> {1}. The line the
// cut falls in is not one of them: it is left out, not misshapen.
std::vector<int> misshapenLines(std::string_view bytes, bool more = false);

// The line that the cut at 64 KiB falls in and parseLoadings leaves out,
// counted from 1; nothing when the file is whole or the cut falls between
// lines.
std::optional<int> cutLine(std::string_view bytes, bool more = false);

// The rest reads the file itself (loadings_file.cpp), which a WebAssembly
// build, handed the file's bytes, does without.

// The places a loadings file is looked for, in order: the program's directory
// under the three spellings users write ("kq71wb.dat", "KQ71WB.dat",
// "KQ71WB.DAT"), then the same in the user's configuration folder
// ($XDG_CONFIG_HOME/kq71wb, or ~/.config/kq71wb), because an installed
// program's directory is not the user's to write. Empty texts stand for unset
// variables.
std::vector<std::filesystem::path> loadingsFileCandidates(const std::filesystem::path& programDirectory,
                                                          std::string_view xdgConfigHome,
                                                          std::string_view home);

// One read of the file at `path`: the first kMaxFileBytes of its bytes, the
// SHA-256 and the number of all of them, and when it was last written, all of
// one and the same content: the time is taken after the bytes, from the same
// open file, and a file that changed meanwhile is read again. Only what the
// file gives at once, and no more than the size it reports, is read, so that
// a file that would keep the reader waiting never holds it up.
// Something there that is not a readable file is named, with why:
//   a folder              -> "it is a folder, not a file"
//   a pipe                -> "it is a named pipe, not a file"
//   a link to /dev/zero   -> "it is a device, not a file"
//   a link to nothing     -> "it is a link to nothing"
//   no leave to read it   -> "it cannot be read (permission denied)"
struct FileRead {
    bool found = false;    // something is at the path, a link to nothing included
    std::string problem;   // why it cannot be used as a loadings file; empty when it was read
    std::string head;      // the first kMaxFileBytes bytes
    std::string sha256;    // of every byte, 64 hex digits
    std::uint64_t size = 0;  // every byte
    std::time_t modified = 0;  // when it was last written, as the file system says
};
// `meanwhile` stands for another program at work on the file, between the
// reading of its bytes and the look at its time: the tests rewrite it there.
FileRead readFileAt(const std::filesystem::path& path, const std::function<void()>& meanwhile = {});

// The loadings of the first candidate where there is a file, the file they
// came from, and what was read of it, for a front end that names what is
// wrong with them; four empty loadings and no file when there is none. A
// file whose gliders are all examples ("N271KQ (example)", the sample the
// build puts beside the program) gives way to a later one of the user's own.
// Something there that cannot be read ends the search, named, with no
// loadings: the sample never stands in for a file of the user's that failed.
struct LoadingsRead {
    Loadings loadings{};
    std::filesystem::path file;
    std::string bytes;        // the first kMaxFileBytes, which the loadings come from
    std::string sha256;       // of the whole file
    std::uint64_t size = 0;   // of the whole file: more than `bytes` when it goes on past them
    std::time_t modified = 0;  // when the file was last written, as the file system says
    std::string problem;      // why `file` could not be read; then there are no loadings
};
LoadingsRead ReadLoadingsFile(const std::vector<std::filesystem::path>& candidates);

// The loadings of ReadLoadingsFile; four empty loadings when there is none.
Loadings ReadLoadings(const std::vector<std::filesystem::path>& candidates);

}  // namespace kq71wb
