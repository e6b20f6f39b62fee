#pragma once
// "Механизм КТУ" (form 370): the three variants of the labour-participation
// rules by which a bonus fund is shared, each with its scale, its formula and
// four rules. Filled from the firm record when it opens; written back, and
// the firm tables saved, only when it is left with a value changed.
#include "shell/ui/CCommonFormView.h"

#include <QHash>

class QLineEdit;

class CPremKtuView : public CCommonFormView {
    Q_OBJECT
public:
    static constexpr int IDD = 370;

    explicit CPremKtuView(CKalvorDoc* doc, QWidget* parent = nullptr);
    // Reads every field back into the firm record; when a value changed, the
    // firm tables (dbo.ktu among them) are saved under the wait cursor.
    ~CPremKtuView() override;
    // Leaving saves the fields first, before the next screen reads the firm.
    bool CanLeave() override;

    void OnInitialUpdate() override;
    // Every field shows its value ("%d", empty for 0).
    void OnUpdate();
    // F1: the scale and formula lists, the hint of the percent fields, the
    // lists of how a measure counts.
    void ShowFormHelp() override;

    QLineEdit* Field(int id) const { return m_fields.value(id, nullptr); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildForm();
    QWidget* BuildVariant(int variant);
    // The input of a measure (KtuFields), made with its kind: a whole number
    // up to the measure's largest.
    QLineEdit* AddField(int id, QWidget* parent);
    // The percents of a variant's rules share out one sum: the refusal of
    // `text` typed into the percent field `id` that takes them together past
    // 100, naming every field that holds a percent; empty when it does not.
    QString PercentsRefusal(int id, const QString& text) const;
    // Reads the fields into the firm record; true when a value changed.
    bool ReadFields();
    // ReadFields, and the firm saved when a value changed.
    void StoreFields();

    QHash<int, QLineEdit*> m_fields;
};
