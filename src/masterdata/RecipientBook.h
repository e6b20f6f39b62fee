#pragma once
// The legal-entity book without its screen: the eight fields of a transfer
// recipient of the "bank" file, each cut to its width when typed, and the
// help list of the 148 slots.
#include "infobase/Records.h"

#include <QString>
#include <QStringList>

#include <array>

namespace kalvor::masterdata {

constexpr int kRecipientCount = 148;
constexpr int kRecipientFieldCount = 8;

using Recipients = std::array<infobase::TransferRecipient, kRecipientCount>;

// Fields in record order: branch, recipient, account, bank, correspondent
// account, BIK, INN, KPP.
QString RecipientField(const infobase::TransferRecipient& recipient, int field);
// Width of a field in bytes.
int RecipientFieldWidth(int field);
// Stores a typed text cut to the field's width (the blanks that pad it are
// not kept) when it differs from the stored one; 1 when it changed.
int StoreRecipientField(infobase::TransferRecipient& recipient, int field, const QString& text);

// One line "%d|%s" per slot: the number and the recipient's name padded to
// its 45 characters, empty slots included.
QStringList RecipientHelpLines(const Recipients& recipients);

} // namespace kalvor::masterdata
