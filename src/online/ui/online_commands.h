// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "project/workbench_fields.h"
#include "online/contribution.h"
#include "online/transfer_folder.h"
#include "online/web_update.h"

class QWidget;

namespace ampvane {

class TWebStatusForm;

struct ContributorIdentity {
    std::string name;
    std::string email;
};

// What the online windows need from the program around them.
struct OnlineEnvironment {
    std::function<ExchangeSettings()> settings;
    // The remembered contributor (the account owner's name when none is remembered) and storing one.
    std::function<ContributorIdentity()> contributor;
    std::function<void(const ContributorIdentity&)> storeContributor;
    // Gathers and validates the whole analysis input (its messages shown); false stops a contribution.
    std::function<bool()> validateWorkbench;
    std::function<WorkbenchFields()> fields;
    std::function<ContributionUnits()> units;
    // The current workbench as project text, built without validating.
    std::function<std::string()> projectText;
    // Imports a table text file into the tables (with its summary); empty while none is available.
    TableImporter import;
    MessageSink* messages = nullptr;
};

// The online commands of the workbench: updates, contributions, contributed data and support
// requests, with their windows. One object lives as long as the workbench.
class TOnlineCommands : public QObject {
    Q_OBJECT

public:
    TOnlineCommands(OnlineEnvironment environment, QWidget* parentWindow);
    ~TOnlineCommands() override;

    // The update of one table (0..7) or of all (nullopt), with the help topic of the control used.
    void UpdateFromServer(std::optional<int> table, int helpTopic);
    bool CanImport() const { return static_cast<bool>(env_.import); }

public slots:
    void UpdateAll1Click();
    void Contribute1Click();
    void GetContributedData1Click();
    void EMailTechnicalSupport1Click();

private:
    OnlineContext Context(TransferView& view);
    OnlineEnvironment env_;
    QPointer<QWidget> parent_;
    TransferFolder folder_;
    TWebStatusForm* status_ = nullptr;
};

} // namespace ampvane
