#include "shell/ui/CommandRegistry.h"

CommandRegistry::CommandRegistry()
    : m_mainCaptions{QStringLiteral("Информационная база"), QStringLiteral("Расчет зарплаты"),
                     QStringLiteral("Сводные ведомости"), QStringLiteral("Генератор отчетов"),
                     QStringLiteral("Дополнительные функции")}
{}

QString CommandRegistry::MainPanelCaption(int mainPanel) const
{
    return mainPanel >= 0 && mainPanel < m_mainCaptions.size() ? m_mainCaptions[mainPanel] : QString();
}

void CommandRegistry::AddPanel(const WorkPanelInfo& panel)
{
    for (auto& p : m_panels)
        if (p.number == panel.number) {
            p = panel;
            return;
        }
    m_panels.push_back(panel);
}

void CommandRegistry::AddCommand(const CommandInfo& command)
{
    for (auto& c : m_commands)
        if (c.id == command.id) {
            c = command;
            return;
        }
    m_commands.push_back(command);
}

const CommandInfo* CommandRegistry::Find(int id) const
{
    for (const auto& c : m_commands)
        if (c.id == id)
            return &c;
    return nullptr;
}

const WorkPanelInfo* CommandRegistry::FindPanel(int number) const
{
    for (const auto& p : m_panels)
        if (p.number == number)
            return &p;
    return nullptr;
}
