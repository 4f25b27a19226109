// SPDX-License-Identifier: GPL-3.0-or-later
// The online windows bound to their core: the support form's rules and sending, the contribution
// form's boxes and button.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "online/test_servers.h"
#include "online/ui/contribution_form.h"
#include "online/ui/support_form.h"
#include "online/ui/web_status_form.h"
#include "support/qt_test_main.h"
#include "support/recording_messages.h"

namespace ampvane {
namespace {

struct Environment {
    Environment() {
        env.contributor = [this] { return identity; };
        env.storeContributor = [this](const ContributorIdentity& stored) { identity = stored, ++stores; };
        env.projectText = [] { return std::string("Begin Ampvane Project\r\nEnd Ampvane Project"); };
        env.fields = [this] { return fields; };
        env.messages = &messages;
    }
    OnlineContext Context(const std::string& server, TransferView& view) {
        OnlineContext context;
        context.settings.server = server;
        context.folder = &folder;
        context.messages = &messages;
        context.view = &view;
        return context;
    }
    OnlineEnvironment env;
    ContributorIdentity identity{"Jo", "jo@example.org"};
    int stores = 0;
    WorkbenchFields fields;
    TransferFolder folder;
    testing::RecordingMessages messages;
};

TEST(SupportWindow, SendRulesAndAcceptedMessageClosesTheWindow) {
    testing::ExchangeServerProcess server;
    Environment e;
    TWebStatusForm unused;
    TSupportForm form(e.env, e.Context(server.Address(), unused));
    EXPECT_EQ(form.FromEdit->text(), "jo@example.org");
    EXPECT_TRUE(form.AttachProjectCheckBox->isChecked());
    EXPECT_FALSE(form.SendButton->isEnabled());
    form.SubjectEdit->setText("Hi");
    form.BodyMemo->setPlainText("   ");
    EXPECT_FALSE(form.SendButton->isEnabled());
    form.BodyMemo->setPlainText("It spins\nbackwards");
    EXPECT_TRUE(form.SendButton->isEnabled());
    form.FromEdit->setText("new@example.org");
    e.messages.Expect("Thank you. Your message has reached Ampvane technical support.");
    form.SendButton->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.StatusPanel->text(), "Message sent successfully.");
    EXPECT_EQ(e.identity.email, "new@example.org");
    EXPECT_EQ(e.identity.name, "Jo");
}

TEST(SupportWindow, UnreachableServerKeepsTheWindowAndItsText) {
    int port = 0;
    {
        testing::HostileServer gone;
        port = gone.Port();
    }
    Environment e;
    TWebStatusForm unused;
    const std::string address = "127.0.0.1:" + std::to_string(port);
    TSupportForm form(e.env, e.Context(address, unused));
    form.SubjectEdit->setText("Hi");
    form.BodyMemo->setPlainText("Text");
    e.messages.Expect("Ampvane was unable to transmit your message to http://" + address +
                      ". The site may be temporarily unavailable, your computer might not be connected to the "
                      "Internet, or a firewall may be blocking Ampvane from accessing the Internet.\n\nThe server did "
                      "not accept a connection; trying again later may help.");
    form.SendButton->click();
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.BodyMemo->toPlainText(), "Text");
    EXPECT_EQ(e.stores, 0); // the address was not edited
    EXPECT_TRUE(form.SendButton->isEnabled());
}

TEST(ContributionWindow, BoxesFollowTheNamedComponents) {
    Environment e;
    e.fields.SetText(WorkbenchControl::MotorNameEdit, " A&B ");
    TContribStatusForm status;
    TContributionForm form(e.env, e.Context("127.0.0.1:1", status));
    EXPECT_EQ(form.CheckBoxes[0]->text(), "&Motor: A&&B");
    EXPECT_TRUE(form.CheckBoxes[0]->isEnabled());
    EXPECT_FALSE(form.CheckBoxes[1]->isEnabled());
    EXPECT_EQ(form.NameEdit->text(), "Jo");
    EXPECT_FALSE(form.OKButton->isEnabled());
    form.CheckBoxes[0]->click();
    EXPECT_TRUE(form.OKButton->isEnabled());
    form.NameEdit->setText(" ");
    form.NameEditChange();
    EXPECT_FALSE(form.OKButton->isEnabled());
}

} // namespace
} // namespace ampvane

int main(int argc, char** argv) { return RunWindowTests(argc, argv); }
