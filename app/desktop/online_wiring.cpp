// SPDX-License-Identifier: GPL-3.0-or-later
#include "online_wiring.h"

#include <QAction>

#include "help/help_topics.h"
#include "online/exchange_server.h"
#include "online/ui/online_commands.h"
#include "workbench/owner_name.h"
#include "workbench/ui/parameter_input_form.h"

namespace ampvane {

TOnlineCommands* ConnectOnlineCommands(TParameterInputForm& workbench, Settings* settings, NumberLocale locale,
                                       TableImporter import, MessageSink& messages) {
    const auto current = [settings]() -> const Settings& {
        static const Settings defaults;
        return settings ? *settings : defaults;
    };
    OnlineEnvironment online;
    online.settings = [current] {
        const Settings& s = current();
        return ExchangeSettings{s.server, s.proxyHost, s.proxyPort};
    };
    online.contributor = [current] {
        const Settings& s = current();
        return ContributorIdentity{UserName(s, OwnerName()), s.email};
    };
    online.storeContributor = [settings](const ContributorIdentity& identity) {
        if (!settings) return;
        settings->userName = std::string(TrimText(identity.name));
        settings->email = std::string(TrimText(identity.email));
    };
    online.validateWorkbench = [&workbench] { return workbench.ValidateForCommand(); };
    online.fields = [&workbench] { return workbench.Fields(); };
    online.units = [current, locale] {
        const Settings& s = current();
        return ContributionUnits{MetricLengthsAndWeights(s), MetricPropellerSizes(s), s.forceInNewtons, locale};
    };
    online.projectText = [&workbench] { return workbench.Session().ProjectText(); };
    online.import = std::move(import);
    online.messages = &messages;
    auto* commands = new TOnlineCommands(std::move(online), &workbench);

    const auto bind = [commands](QAction* action, bool enabled, auto handler) {
        if (!action) return;
        action->setEnabled(enabled);
        QObject::connect(action, &QAction::triggered, commands, handler);
    };
    const WorkbenchOnlineActions& actions = workbench.OnlineActions();
    const bool canImport = commands->CanImport();
    for (QAction* action : actions.updateAll) bind(action, canImport, [commands] { commands->UpdateAll1Click(); });
    for (int table = 0; table < static_cast<int>(actions.updateTable.size()); ++table)
        bind(actions.updateTable[static_cast<std::size_t>(table)], canImport,
             [commands, table] { commands->UpdateFromServer(table, kUpdateTableHelpTopic); });
    for (QAction* action : actions.contribute) bind(action, true, [commands] { commands->Contribute1Click(); });
    for (QAction* action : actions.getContributed)
        bind(action, true, [commands] { commands->GetContributedData1Click(); });
    bind(actions.technicalSupport, true, [commands] { commands->EMailTechnicalSupport1Click(); });
    return commands;
}

} // namespace ampvane
