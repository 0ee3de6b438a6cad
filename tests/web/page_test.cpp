// The declaration of the module for the page's script numbers the field
// kinds as the core does.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "words.h"

namespace kq71wb {
namespace {

std::string fileText(const char* name)
{
    std::ifstream file(std::string(KQ71WB_WEB_DIR) + '/' + name);
    return {std::istreambuf_iterator<char>(file), {}};
}

// The script takes FieldKind from the module; its declaration states the
// numbers as literal types, which must be the core's.
TEST(Page, DeclaresTheFieldKindsOfTheCore)
{
    std::string kinds;
    for (int kind = 0; kind < kFieldKindCount; ++kind)
        kinds += (kind ? "; " : "") + std::string(kFieldKinds[kind]) + ": " + std::to_string(kind);
    const std::string declared = "export interface FieldKinds { " + kinds + " }";
    EXPECT_NE(fileText("kq71wb.d.ts").find(declared), std::string::npos) << "kq71wb.d.ts should say: " << declared;
}

}  // namespace
}  // namespace kq71wb
