#include "sha256.h"

#include <gtest/gtest.h>

#include <utility>

namespace kq71wb {
namespace {

// The published vectors, the third of 56 bytes, whose padding spills into a
// second block, and 64 bytes, which fill the first, checked against sha256sum;
// each whole, and given in pieces as a file is read, a block cut between two.
TEST(Sha256, MatchesKnownDigests)
{
    const std::pair<std::string, std::string_view> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1'000'000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
    };
    for (const auto& [bytes, digest] : cases) {
        EXPECT_EQ(sha256Hex(bytes), digest) << bytes.size() << " bytes";
        for (const std::size_t piece : {1, 7, 63, 64, 65}) {
            Sha256 pieces;
            for (std::size_t at = 0; at < bytes.size(); at += piece)
                pieces.add(std::string_view(bytes).substr(at, piece));
            EXPECT_EQ(pieces.hex(), digest) << bytes.size() << " bytes in pieces of " << piece;
        }
    }
}

}  // namespace
}  // namespace kq71wb
