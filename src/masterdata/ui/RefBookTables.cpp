#include "masterdata/ui/RefBookTables.h"

#include "masterdata/ui/CRefGridBookView.h"
#include "masterdata/ui/CRefMasksView.h"
#include "masterdata/ui/CRefNalogView.h"
#include "masterdata/ui/CRefStagView.h"
#include "masterdata/ui/CRefUrlicView.h"
#include "shell/ui/CommandRegistry.h"

using kalvor::masterdata::GridBook;

namespace {

constexpr int kReferencePanel = 0;

void AddBook(CommandRegistry& registry, int id, const QString& caption, ViewFactory make)
{
    CommandInfo command;
    command.id = id;
    command.caption = caption;
    command.panel = kReferencePanel;
    command.makeView = std::move(make);
    registry.AddCommand(command);
}

template <class View>
ViewFactory Make()
{
    return [](CKalvorDoc* doc) -> CCommonFormView* { return new View(doc); };
}

} // namespace

void RegisterReferenceBookTables(CommandRegistry& registry)
{
    const auto gridBook = [&registry](GridBook book, ViewFactory make) {
        const auto& form = kalvor::masterdata::GridBookFormOf(book);
        AddBook(registry, form.command, form.caption, std::move(make));
    };
    gridBook(GridBook::Shops, Make<CRefOtdelView>());
    AddBook(registry, 1031, QStringLiteral("Юридические лица"), Make<CRefUrlicView>());
    gridBook(GridBook::Positions, Make<CRefPostView>());
    AddBook(registry, 1033, QStringLiteral("Налоги"), Make<CRefNalogView>());
    gridBook(GridBook::Deductions, Make<CRefVichView>());
    gridBook(GridBook::Professions, Make<CRefProfesView>());
    AddBook(registry, 1036, QStringLiteral("Маски"), Make<CRefMasksView>());
    AddBook(registry, 1037, QStringLiteral("Выслуга лет"), Make<CRefStagView>());
    gridBook(GridBook::Contributions, Make<CRefSborView>());
    gridBook(GridBook::Ranks, Make<CRefTitleView>());
}
