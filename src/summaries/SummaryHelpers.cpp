#include "summaries/SummaryHelpers.h"

#include "values/CScan.h"
#include "values/Messages.h"

#include <cstring>

namespace kalvor::summaries {

namespace {

bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

// The field as atoi reads it: blanks, a sign, digits.
int readField(QByteArrayView field) { return AtoiC(field.data(), field.size()); }

// The 4 characters at pos, fewer at the text's end.
QByteArrayView fieldAt(QByteArrayView text, qsizetype pos)
{
    if (pos >= text.size())
        return {};
    return text.sliced(pos, std::min<qsizetype>(4, text.size() - pos));
}

} // namespace

int ParseCodesInParens(QByteArrayView text, int& a, int& b, int& c, int limit)
{
    if (const qsizetype nul = text.indexOf('\0'); nul >= 0)
        text = text.first(nul);
    const qsizetype end = std::min<qsizetype>(text.size(), limit);
    qsizetype open = -1;
    for (qsizetype i = 0; i < end; ++i) {
        if (text[i] == '(') {
            open = i;
            break;
        }
    }
    if (open < 0)
        return 0;
    a = readField(fieldAt(text, open + 1));
    b = readField(fieldAt(text, open + 5));
    const QByteArrayView third = fieldAt(text, open + 9);
    c = !third.isEmpty() && isDigit(third[0]) ? readField(third) : -1;
    return 1;
}

void CodeSumTree::Reset()
{
    nodes.clear();
    leaves.clear();
    nodes.push_back({SentinelKey, -1, -1});
    root = 0;
}

namespace {

// Where key goes in the list that starts at *head: the index of the node of
// that key, or -1 with *link pointing at the link to change.
template <class Node>
int findInList(std::vector<Node>& pool, int* head, std::uint16_t key, int** link)
{
    int* at = head;
    while (*at >= 0 && pool[std::size_t(*at)].key < key) at = &pool[std::size_t(*at)].next;
    *link = at;
    if (*at >= 0 && pool[std::size_t(*at)].key == key)
        return *at;
    return -1;
}

} // namespace

void InsertCodeSum(CodeSumTree& tree, int key1, int leafKey, double amount, int key2, int key3)
{
    const std::uint16_t path[3] = {std::uint16_t(key1), std::uint16_t(key2), std::uint16_t(key3)};
    // Count what is missing first, so that a full pool changes nothing.
    int missingNodes = 0;
    bool missingLeaf = false;
    {
        int head = tree.root;
        int* link = nullptr;
        int level = 0;
        for (; level < 3; ++level) {
            const int found = findInList(tree.nodes, &head, path[level], &link);
            if (found < 0)
                break;
            head = tree.nodes[std::size_t(found)].child;
        }
        missingNodes = 3 - level;
        if (missingNodes == 0) {
            int leafHead = head;
            missingLeaf = findInList(tree.leaves, &leafHead, std::uint16_t(leafKey), &link) < 0;
        } else {
            missingLeaf = true;
        }
    }
    if (!tree.growing && (int(tree.nodes.size()) + missingNodes > CodeSumTree::KeyNodeCapacity ||
                          int(tree.leaves.size()) + (missingLeaf ? 1 : 0) > CodeSumTree::LeafCapacity))
        throw TextError(kMsgAllocFailed);

    // Links are indexes into the pools, so growing a pool keeps them valid;
    // the link to change is found again after each insertion.
    int parent = -1; // node whose child list is searched; -1 = the top level
    for (int level = 0; level < 3; ++level) {
        int* head = parent < 0 ? &tree.root : &tree.nodes[std::size_t(parent)].child;
        int* link = nullptr;
        int found = findInList(tree.nodes, head, path[level], &link);
        if (found < 0) {
            const int next = *link;
            found = int(tree.nodes.size());
            *link = found; // written before the pool grows
            tree.nodes.push_back({path[level], -1, next});
        }
        parent = found;
    }
    int* head = &tree.nodes[std::size_t(parent)].child;
    int* link = nullptr;
    const int found = findInList(tree.leaves, head, std::uint16_t(leafKey), &link);
    if (found >= 0) {
        tree.leaves[std::size_t(found)].amount += amount;
        return;
    }
    const int next = *link;
    const int index = int(tree.leaves.size());
    *link = index;
    tree.leaves.push_back({std::uint16_t(leafKey), amount, next});
}

void FillSurnameInitialsField(QByteArrayView fullName, char* field)
{
    constexpr int Width = 20;
    QByteArrayView name = fullName.first(std::min<qsizetype>(fullName.size(), 50));
    if (const qsizetype nul = name.indexOf('\0'); nul >= 0)
        name = name.first(nul);
    QByteArrayView words[3];
    int count = 0;
    for (qsizetype i = 0; i < name.size() && count < 3;) {
        while (i < name.size() && name[i] == ' ') ++i;
        const qsizetype start = i;
        while (i < name.size() && name[i] != ' ') ++i;
        if (i > start)
            words[count++] = name.sliced(start, i - start);
    }
    QByteArray out;
    if (count > 0)
        out = words[0].toByteArray();
    for (int k = 1; k < count; ++k) {
        out += ' ';
        out += words[k][0];
        out += '.';
    }
    std::memset(field, ' ', Width);
    std::memcpy(field, out.constData(), std::size_t(std::min<qsizetype>(out.size(), Width)));
}

} // namespace kalvor::summaries
