// Small helpers of the summaries that the exchange functions share: the codes
// in parentheses of a contribution's text, the three-level tree of sums by
// cost code, and the surname with initials of a full name.
#pragma once

#include <QByteArrayView>

#include <cstdint>
#include <vector>

namespace kalvor::summaries {

// Finds the first "(" of the 8-bit text before position `limit` (56 for the
// contribution texts) and reads the three 4-character fields after it, each
// as a decimal number with leading blanks and a sign allowed (the rest of a
// field after its digits is ignored; a field cut short by the text's end reads
// what there is). The third is -1 when it does not begin with a digit.
// Returns 1 when the "(" was found, else 0 and leaves the outputs alone.
int ParseCodesInParens(QByteArrayView text, int& a, int& b, int& c, int limit = 56);

// The tree of sums: three levels of key nodes (each level a list in
// ascending key order) and under the third level a list of leaves (leaf key
// and amount, ascending keys). Nodes come from two bounded pools of 51,200
// bytes each: 5,120 key nodes of 10 bytes and 2,844 leaves of 18 bytes; a
// caller that may need more lets them grow (`growing`).
struct CodeSumTree {
    static constexpr int KeyNodeCapacity = 5120;
    static constexpr int LeafCapacity = 2844;
    static constexpr std::uint16_t SentinelKey = 9999;

    struct KeyNode {
        std::uint16_t key = 0;
        int child = -1; // first node of the level below (or first leaf)
        int next = -1; // next sibling
    };
    struct Leaf {
        std::uint16_t key = 0;
        double amount = 0;
        int next = -1;
    };

    CodeSumTree() { Reset(); }
    // Empties the tree: the top level holds only the sentinel node of key 9999.
    void Reset();

    std::vector<KeyNode> nodes;
    std::vector<Leaf> leaves;
    int root = -1; // first node of the top level
    // Set by callers whose runs may need more nodes than the two pools hold:
    // the pools then grow as needed instead of failing.
    bool growing = false;
};

// Adds the amount to the leaf `leafKey` under the path key1 / key2 / key3,
// creating the missing nodes at their places; equal leaves add up. Throws
// TextError("Ошибка при выделении памяти") when a pool of a tree that does
// not grow is full; the tree is then unchanged.
void InsertCodeSum(CodeSumTree& tree, int key1, int leafKey, double amount, int key2, int key3);

// Fills the 20-byte field, blank-padded, with the surname and the initials of
// the 8-bit full name (its first 50 characters; words separated by blanks):
// "Surname N. P.", "Surname N." for two words, the surname alone for one;
// cut at 20 characters.
void FillSurnameInitialsField(QByteArrayView fullName, char* field /*20 bytes*/);

} // namespace kalvor::summaries
