// The digest against the standard's examples, and input fed in pieces that straddle blocks.
#include <gtest/gtest.h>

#include <string>

#include "services/sha256.h"

namespace {

TEST(Sha256, StandardExamples) {
    EXPECT_EQ(services::Sha256Hex(""),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(services::Sha256Hex("abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(services::Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(services::Sha256Hex(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256, PiecesGiveTheDigestOfTheWhole) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += static_cast<char>(i * 7);
    services::Sha256 hash;
    for (size_t at = 0, step = 1; at < text.size(); at += step, step = step * 2 % 97 + 1)
        hash.Update(std::string_view(text).substr(at, step));
    const auto digest = hash.Finish();
    services::Sha256 whole;
    whole.Update(text);
    EXPECT_EQ(digest, whole.Finish());
}

} // namespace
