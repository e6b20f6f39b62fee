// The declarations of the configuration, the firm record, the reference
// tables, the per-slot tables, the line tables and the employee lists.
#include "infobase/StoredTables.h"

namespace kalvor::infobase {

using namespace sqltype;

const StoredTable<KeysOnly>& VersionTable()
{
    static const StoredTable<KeysOnly> t("version", {{"id"}, {"step"}}, {}, "PRIMARY KEY (id)");
    return t;
}

const StoredTable<TabelRecord>& TabelTable()
{
    using R = TabelRecord;
    static const StoredTable<R> t("tabel", {{"num"}}, [] {
        Columns<R> c;
        c.field<&R::rabDn>("rabDn").field<&R::rabHr>("rabHr").field<&R::vHr>("vHr").field<&R::nHr>("nHr");
        c.field<&R::sverhHr>("sverhHr").field<&R::uchHr>("uchHr");
        c.KALVOR_BIT_FIELD(drRabDn).KALVOR_BIT_FIELD(kvalDn).KALVOR_BIT_FIELD(komDn).KALVOR_BIT_FIELD(dbf);
        c.KALVOR_BIT_FIELD(prostDn).KALVOR_BIT_FIELD(vyhPosobDn);
        c.add(QStringLiteral("koeff"), Integer, [](R& t, detail::Reader& r, int) { t.setKoeffHundredths(r.n()); },
              [](const R& t, detail::Binder& b, int) { b << t.koeffHundredths(); });
        c.KALVOR_BIT_FIELD(prDn).KALVOR_BIT_FIELD(prPlanDn).KALVOR_BIT_FIELD(vyhDn).KALVOR_BIT_FIELD(uchDn);
        c.field<&R::sverhDvaHr>("sverhDvaHr").field<&R::prHr>("prHr").field<&R::prPlanHr>("prPlanHr");
        c.field<&R::vyhHr>("vyhHr").field<&R::prostHr>("prostHr").field<&R::kvalHr>("kvalHr");
        c.field<&R::tabel12>("tabel12").field<&R::tabel22>("tabel22");
        c.field<&R::bezsodDn>("bezsodDn").field<&R::bezsodHr>("bezsodHr");
        c.field<&R::bezsodDnVyh>("bezsodDnVyh").field<&R::bezsodHrVyh>("bezsodHrVyh");
        return c;
    }(), "PRIMARY KEY (num)");
    return t;
}

} // namespace kalvor::infobase
