// SPDX-License-Identifier: GPL-3.0-or-later
// The workbench's online commands: the Update menu and tool buttons, contributions, contributed data and
// the support request, bound to the online windows.

#include <QAction>

#include "analysis/analysis_input.h"
#include "project/project_text.h"
#include "common/numeric_text.h"
#include "workbench/analysis_settings.h"
#include "online/ui/online_commands.h"
#include "workbench/compute_input.h"
#include "workbench/owner_name.h"
#include "workbench/ui/parameter_input_form.h"

#include "online/exchange_server.h"

namespace ampvane {

namespace {
ExchangeSettings ExchangeSettingsFrom(const Settings& settings) {
    return {settings.server, settings.proxyHost, settings.proxyPort};
}
} // namespace

QString TParameterInputForm::WebSite() const {
    const Settings defaults;
    const ExchangeSettings exchange = ExchangeSettingsFrom(env_.settings ? *env_.settings : defaults);
    return QString::fromStdString(SiteUrl(ServerOf(exchange))) + QLatin1Char('/');
}

void TParameterInputForm::InstallOnlineCommands() {
    OnlineEnvironment online;
    online.settings = [this] { return env_.settings ? ExchangeSettingsFrom(*env_.settings) : ExchangeSettings{}; };
    online.contributor = [this] {
        const Settings defaults;
        const Settings& settings = env_.settings ? *env_.settings : defaults;
        return ContributorIdentity{UserName(settings, OwnerName()), settings.email};
    };
    online.storeContributor = [this](const ContributorIdentity& identity) {
        if (!env_.settings) return;
        env_.settings->userName = std::string(TrimText(identity.name));
        env_.settings->email = std::string(TrimText(identity.email));
    };
    online.validateWorkbench = [this] {
        GearboxEfficiencyLeft();
        PlaneDesc plane;
        AnalysisOptions options;
        return GatherForCommand(plane, options);
    };
    online.fields = [this] { return fields_; };
    online.units = [this] {
        const Settings defaults;
        const Settings& settings = env_.settings ? *env_.settings : defaults;
        return ContributionUnits{MetricLengthsAndWeights(settings), MetricPropellerSizes(settings),
                                 settings.forceInNewtons, env_.locale};
    };
    online.projectText = [this] {
        const Settings defaults;
        return WriteProjectText(fields_, AnalysisOptionsInputFrom(env_.settings ? *env_.settings : defaults),
                                env_.locale);
    };
    online.import = env_.importTableText;
    online.messages = &Messages();
    online_ = new TOnlineCommands(std::move(online), this);

    const auto bind = [this](const char* name, bool enabled, auto handler) {
        for (QAction* action : findChildren<QAction*>(QString::fromUtf8(name))) {
            action->setEnabled(enabled);
            connect(action, &QAction::triggered, online_, handler);
        }
    };
    const bool canImport = online_->CanImport();
    bind("UpdateAllItem", canImport, [this] { online_->UpdateAll1Click(); });
    bind("UpdateAllToolButton", canImport, [this] { online_->UpdateAll1Click(); });
    const char* tables[] = {"UpdateProjectsItem",        "UpdateMotorsItem",    "UpdateCellsItem",
                            "UpdateFiltersItem",         "UpdatePropellerDrivesItem", "UpdateFanDrivesItem",
                            "UpdateSpeedControlsItem",   "UpdateAirframesItem"};
    for (int table = 0; table < 8; ++table)
        bind(tables[table], canImport, [this, table] { online_->UpdateFromServer(table, 912); });
    bind("ContributeItem", true, [this] { online_->Contribute1Click(); });
    bind("ContributeToolButton", true, [this] { online_->Contribute1Click(); });
    bind("GetContributedItem", true, [this] { online_->GetContributedData1Click(); });
    bind("GetContributedToolButton", true, [this] { online_->GetContributedData1Click(); });
    bind("TechnicalSupportItem", true, [this] { online_->EMailTechnicalSupport1Click(); });
}

} // namespace ampvane
