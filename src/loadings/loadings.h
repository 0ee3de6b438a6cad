#pragma once

// The four standard loadings, one per glider, that the user keeps in a small
// text file and that start-up puts on the four loading buttons.

#include <array>
#include <ctime>
#include <filesystem>
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
Loadings parseLoadings(std::string_view bytes);

// How many records (gliders) the bytes hold, each the next three fields, the
// last one counted though cut short: a file may hold more than the four
// loadings.   "\"A\",1,2\n\"B\",3,4\n" -> 2     "\"A\",1" -> 1     "\n\n" -> 0
std::size_t recordCount(std::string_view bytes);

// The lines of a loadings file, counted from 1, that do not hold three
// fields, blank lines aside: a name with a comma in curly quotes, as a phone
// types them, splits into four. "“Club, two”,598,23.9" -> {1}
std::vector<int> misshapenLines(std::string_view bytes);

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

// A descriptor of the file at `path` when it opens as a regular file, without
// waiting; a directory, pipe or device where the file should be counts as none.
std::optional<int> openLoadingsFile(const std::filesystem::path& path);

// Up to `limit` bytes that the descriptor gives at once, without waiting for
// more: a file whose reading would block reads as what it gave, or as empty.
std::string readAvailableBytes(int fd, std::size_t limit);

// The loadings of the first candidate that opens as a regular file, the file
// they came from and the bytes read from it, for a front end that names what
// is wrong with them; four empty loadings and no file when there is none. A
// file whose gliders are all examples ("N271KQ (example)", the sample the
// build puts beside the program) gives way to a later one of the user's own.
struct LoadingsRead {
    Loadings loadings{};
    std::filesystem::path file;
    std::string bytes;
    std::time_t modified = 0;  // when the file was last written, as the file system says
};
LoadingsRead ReadLoadingsFile(const std::vector<std::filesystem::path>& candidates);

// The loadings of ReadLoadingsFile; four
// empty loadings when there is none. The file is read once and closed at once,
// up to the size it reports: one that claims no bytes gives none.
// Nothing is reported: a missing or unreadable file gives blank buttons.
Loadings ReadLoadings(const std::vector<std::filesystem::path>& candidates);

}  // namespace kq71wb
