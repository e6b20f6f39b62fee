// The pick lists of the selection fields shared by the summary and report
// views: shops under field 1252, professions under field 1254.
#pragma once

#include <QStringList>

class CCommonFormView;
class CKalvorDoc;

// At most 250 lines "%d|%s" (number, name) of the document's shops; a shop
// with number 0 and an empty name ends the list.
QStringList ShopPickLines(const CKalvorDoc& doc);
// Lines "%d|%.26s" of the document's professions (code and name).
QStringList ProfessionPickLines(const CKalvorDoc& doc);

// Shows the shop list as the help list of field 1252 (the chosen number is
// typed into it).
void ShowShopPickList(CCommonFormView* view);
// The same for the professions under field 1254.
void ShowProfessionPickList(CCommonFormView* view);
