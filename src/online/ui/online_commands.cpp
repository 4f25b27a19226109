// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/ui/online_commands.h"

#include "online/ui/contribution_browser_form.h"
#include "online/ui/contribution_form.h"
#include "online/ui/support_form.h"
#include "online/ui/web_status_form.h"

#include "help/help_topics.h"

namespace ampvane {

TOnlineCommands::TOnlineCommands(OnlineEnvironment environment, QWidget* parentWindow)
    : QObject(parentWindow), env_(std::move(environment)), parent_(parentWindow) {
    status_ = new TWebStatusForm(parentWindow);
}

TOnlineCommands::~TOnlineCommands() = default;

OnlineContext TOnlineCommands::Context(TransferView& view) {
    OnlineContext context;
    context.settings = env_.settings ? env_.settings() : ExchangeSettings{};
    context.folder = &folder_;
    context.messages = env_.messages;
    context.view = &view;
    return context;
}

void TOnlineCommands::UpdateFromServer(std::optional<int> table, int helpTopic) {
    OnlineContext context = Context(*status_);
    ampvane::UpdateFromServer(context, table, helpTopic, env_.import);
}

void TOnlineCommands::UpdateAll1Click() { UpdateFromServer(std::nullopt, kUpdateAllHelpTopic); }

void TOnlineCommands::Contribute1Click() {
    if (env_.validateWorkbench && !env_.validateWorkbench()) return;
    TContribStatusForm status(parent_);
    OnlineContext context = Context(status);
    TContributionForm form(env_, context, parent_);
    form.exec();
}

void TOnlineCommands::GetContributedData1Click() {
    OnlineContext context = Context(*status_);
    TContributionBrowserForm form(env_, context, parent_);
    form.exec();
}

void TOnlineCommands::EMailTechnicalSupport1Click() {
    TWebStatusForm unused(parent_);
    OnlineContext context = Context(unused);
    TSupportForm form(env_, context, parent_);
    form.exec();
}

} // namespace ampvane
