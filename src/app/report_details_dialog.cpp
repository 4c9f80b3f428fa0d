// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/report_details_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "history/history_store.h"

namespace {

QLineEdit* Line(QDialog& box, const QString& text, const char* name, int limit) {
  auto* edit = new QLineEdit(text, &box);
  edit->setObjectName(name);
  edit->setMaxLength(limit);
  edit->setMinimumWidth(320);
  return edit;
}

}  // namespace

std::optional<kestrum::ReportDetails> AskReportDetailsBox(QWidget* parent,
                                                          const kestrum::ReportDetails& offered) {
  QDialog box(parent);
  box.setWindowTitle(QStringLiteral("Report"));
  auto* form = new QFormLayout(&box);
  const int shortText = static_cast<int>(kestrum::kSiteCharacterLimit);
  auto* site = Line(box, offered.site, "ReportSite", shortText);
  if (offered.siteFixed) {
    site->setReadOnly(true);
    site->setToolTip(QStringLiteral("The site of the runs shown"));
  }
  auto* client = Line(box, offered.client, "ReportClient", shortText);
  auto* address =
      Line(box, offered.address, "ReportAddress", static_cast<int>(kestrum::kNoteCharacterLimit));
  auto* person = Line(box, offered.operatorName, "ReportOperator", shortText);
  auto* certification = Line(box, offered.certification, "ReportCertification", shortText);
  auto* paper = new QComboBox(&box);
  paper->setObjectName("ReportPaper");
  paper->addItem(QStringLiteral("A4"));
  paper->addItem(QStringLiteral("US Letter"));
  paper->setCurrentIndex(offered.paper == kestrum::ReportPaper::kLetter ? 1 : 0);
  auto* onePage = new QCheckBox(QStringLiteral("One page (the period's summary report)"), &box);
  onePage->setObjectName("ReportOnePage");
  onePage->setChecked(offered.onePage);
  onePage->setVisible(offered.onePageOffered);
  form->addRow(QStringLiteral("Site:"), site);
  form->addRow(QStringLiteral("Client:"), client);
  form->addRow(QStringLiteral("Address:"), address);
  form->addRow(QStringLiteral("Operator:"), person);
  form->addRow(QStringLiteral("Certification No.:"), certification);
  form->addRow(QStringLiteral("Paper:"), paper);
  if (offered.onePageOffered) form->addRow(QString(), onePage);
  // The client and address only go on the test report.
  const auto follow = [=] {
    const bool test = !offered.onePageOffered || !onePage->isChecked();
    client->setEnabled(test);
    address->setEnabled(test);
    certification->setEnabled(test);
  };
  QObject::connect(onePage, &QCheckBox::toggled, &box, follow);
  follow();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
  form->addRow(buttons);
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  kestrum::ReportDetails details = offered;
  details.site = site->text().trimmed();
  details.client = client->text().trimmed();
  details.address = address->text().trimmed();
  details.operatorName = person->text().trimmed();
  details.certification = certification->text().trimmed();
  details.paper =
      paper->currentIndex() == 1 ? kestrum::ReportPaper::kLetter : kestrum::ReportPaper::kA4;
  details.onePage = offered.onePageOffered && onePage->isChecked();
  return details;
}
