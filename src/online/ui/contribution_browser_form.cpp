// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/ui/contribution_browser_form.h"

#include "common/ui/qt_text.h"
#include "help/help_topics.h"
#include "help/ui/help_viewer.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <filesystem>

#include "common/file_write.h"
#include "data/table_catalogue.h"

namespace ampvane {

namespace {
constexpr int kHelpTopic = kContributedDataHelpTopic;
constexpr std::array kTabCaptions = {"&Motors", "&Cells", "&Filters", "&Prop Drive Systems", "Fan &Drive Systems",
                                     "&Speed Controls", "&Airframes"};
} // namespace

TContributionBrowserForm::TContributionBrowserForm(const OnlineEnvironment& environment, OnlineContext context,
                                                   QWidget* parent)
    : QDialog(parent), env_(environment), context_(std::move(context)) {
    setObjectName(QStringLiteral("ContributionBrowserForm"));
    setWindowTitle(tr("User Contributed Data Browser"));
    resize(720, 480);
    auto* layout = new QVBoxLayout(this);
    TabControl1 = new QTabBar(this);
    TabControl1->setObjectName(QStringLiteral("TabControl1"));
    for (const char* caption : kTabCaptions) TabControl1->addTab(tr(caption));
    layout->addWidget(TabControl1);
    auto* labels = new QHBoxLayout;
    const std::array<const char*, 3> captions = {"Description", "Date", "Contributor"};
    const std::array<ContributedSort, 3> sorts = {ContributedSort::Description, ContributedSort::Date,
                                                  ContributedSort::Contributor};
    const std::array<int, 3> stretch = {41, 11, 23};
    for (std::size_t i = 0; i < 3; ++i) {
        ColumnLabels[i] = new QPushButton(tr(captions[i]), this);
        ColumnLabels[i]->setObjectName(QString::fromUtf8(captions[i]) + QStringLiteral("Label"));
        ColumnLabels[i]->setFlat(true);
        ColumnLabels[i]->setCursor(Qt::PointingHandCursor);
        labels->addWidget(ColumnLabels[i], stretch[i]);
        connect(ColumnLabels[i], &QPushButton::clicked, this, [this, sort = sorts[i]] { SortBy(sort); });
    }
    layout->addLayout(labels);
    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    CheckListBox1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(CheckListBox1, 1);
    auto* bottom = new QHBoxLayout;
    Only30DaysCheckBox = new QCheckBox(tr("Only show items contributed in the last 30 days"), this);
    Only30DaysCheckBox->setObjectName(QStringLiteral("Only30DaysCheckBox"));
    const QString site = Q(SiteUrl(ServerOf(context_.settings)));
    DetailLinkLabel = new QLabel(QStringLiteral("<a href=\"%1/contrib.htm\">See more details at %2</a>")
                                     .arg(site, QUrl(site).host().toHtmlEscaped()),
                                 this);
    DetailLinkLabel->setObjectName(QStringLiteral("DetailLinkLabel"));
    DetailLinkLabel->setOpenExternalLinks(true);
    bottom->addWidget(Only30DaysCheckBox);
    bottom->addStretch();
    bottom->addWidget(DetailLinkLabel);
    layout->addLayout(bottom);
    auto* buttons = new QHBoxLayout;
    AddButton = new QPushButton(tr("Add Checked &Items to Ampvane"), this);
    AddButton->setObjectName(QStringLiteral("AddButton"));
    AddButton->setEnabled(static_cast<bool>(env_.import));
    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("CancelButton"));
    buttons->addStretch();
    buttons->addWidget(AddButton);
    buttons->addSpacing(13);
    buttons->addWidget(close);
    buttons->addWidget(NewHelpButton(this, kHelpTopic));
    buttons->addStretch();
    layout->addLayout(buttons);

    connect(CheckListBox1, &QListWidget::itemChanged, this, [this] { ticksChanged_ = true; });
    connect(TabControl1, &QTabBar::currentChanged, this, [this](int tab) {
        SaveTicks();
        TabControl1Change(tab);
    });
    connect(Only30DaysCheckBox, &QCheckBox::clicked, this, &TContributionBrowserForm::Only30DaysCheckBoxClick);
    connect(AddButton, &QPushButton::clicked, this, &TContributionBrowserForm::AddButtonClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::finished, this, &TContributionBrowserForm::DeleteDownloads);
    // The first tab is fetched once the window is on screen.
    QTimer::singleShot(0, this, &TContributionBrowserForm::FormShow);
}

void TContributionBrowserForm::FormShow() {
    Only30DaysCheckBox->setChecked(true);
    Only30DaysCheckBoxClick();
}

TContributionBrowserForm::~TContributionBrowserForm() { DeleteDownloads(); }

std::string TContributionBrowserForm::TabFile(int tab) const {
    return context_.folder ? context_.folder->File(TypeKeyOf(tab + 1) + ".ctb") : std::string();
}

void TContributionBrowserForm::Only30DaysCheckBoxClick() {
    SaveTicks();
    DeleteDownloads();
    TabControl1Change(TabControl1->currentIndex());
}

void TContributionBrowserForm::TabControl1Change(int tab) {
    if (tab < 0 || tab >= 7) return;
    current_ = tab;
    if (!downloaded_[static_cast<std::size_t>(tab)]) {
        DownloadContributed(context_, TabFile(tab), TypeNameOf(tab + 1), kHelpTopic,
                            Only30DaysCheckBox->isChecked() ? 30 : 0, tab + 1);
        downloaded_[static_cast<std::size_t>(tab)] = true;
    }
    std::string text;
    lines_.clear();
    // A file that cannot be read leaves the tab empty.
    if (ReadWholeFile(TabFile(tab), text)) lines_ = SplitContributedLines(text);
    entries_ = ContributedEntries(lines_);
    FillList();
    for (QPushButton* label : ColumnLabels) {
        QFont font = label->font();
        font.setBold(label == ColumnLabels[1]);
        label->setFont(font);
    }
    ticksChanged_ = false;
}

void TContributionBrowserForm::FillList() {
    const QSignalBlocker block(CheckListBox1);
    CheckListBox1->clear();
    for (const ContributedEntry& entry : entries_) {
        auto* item = new QListWidgetItem(Q(entry.text), CheckListBox1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(entry.ticked ? Qt::Checked : Qt::Unchecked);
    }
}

void TContributionBrowserForm::SaveTicks() {
    for (int i = 0; i < CheckListBox1->count() && i < static_cast<int>(entries_.size()); ++i)
        entries_[static_cast<std::size_t>(i)].ticked = CheckListBox1->item(i)->checkState() == Qt::Checked;
    if (!ticksChanged_ || current_ < 0) return;
    std::string text;
    for (const std::string& line : ApplyTicks(lines_, entries_)) text += line + "\r\n";
    // A file that cannot be written is skipped; the ticks then stay only in the list.
    if (WriteFileAtomically(TabFile(current_), text).empty()) lines_ = SplitContributedLines(text);
    ticksChanged_ = false;
}

void TContributionBrowserForm::SortBy(ContributedSort sort) {
    SaveTicks();
    SortContributedEntries(entries_, sort);
    FillList();
    for (std::size_t i = 0; i < 3; ++i) {
        QFont font = ColumnLabels[i]->font();
        font.setBold(static_cast<int>(i) == static_cast<int>(sort));
        ColumnLabels[i]->setFont(font);
    }
}

void TContributionBrowserForm::AddButtonClick() {
    ticksChanged_ = true;
    SaveTicks();
    std::string text;
    for (int tab = 0; tab < 7; ++tab) {
        if (!downloaded_[static_cast<std::size_t>(tab)]) continue;
        std::string file;
        if (!ReadWholeFile(TabFile(tab), file)) continue;
        text += ContributedImportSection(TypeNameOf(tab + 1), SplitContributedLines(file));
    }
    const std::string importFile = context_.folder->File("contrib.tmp");
    if (WriteFileAtomically(importFile, text).empty() && env_.import) {
        TableImportOptions options;
        options.alwaysReport = true;
        options.helpTopic = kHelpTopic;
        options.source = ImportSource::ExchangeContributed;
        env_.import(importFile, options);
    }
    std::error_code ignored;
    std::filesystem::remove(importFile, ignored);
    accept();
}

void TContributionBrowserForm::DeleteDownloads() {
    for (int tab = 0; tab < 7; ++tab) {
        if (!downloaded_[static_cast<std::size_t>(tab)]) continue;
        std::error_code ignored;
        std::filesystem::remove(TabFile(tab), ignored);
        downloaded_[static_cast<std::size_t>(tab)] = false;
    }
}

} // namespace ampvane
