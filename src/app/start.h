#pragma once

// What the program sets up before its window: who it is, and where it looks
// for its loadings file. For main, and for the tests and benchmarks that
// start the window as main does.

#include <QString>

#include <filesystem>
#include <vector>

namespace kq71wb {

inline constexpr char kDescription[] = "KQ 71 Sailplane Weight and Balance Calculator";

// Application name, version, description and style.
void configureApplication();

// Where the program looks for its loadings file.
std::vector<std::filesystem::path> defaultLoadingsFiles();

// The folder the sample loadings file was installed in beside the program
// (share/doc/kq71wb under its prefix: /usr for the package, /usr/local for a
// hand install), or nothing when there is none there.
std::filesystem::path sampleLoadingsFolder();

// A path as the user is shown it, from the home folder: "~/Documents/KQ71WB-….pdf".
QString shownFromHome(const QString& path);

}  // namespace kq71wb
