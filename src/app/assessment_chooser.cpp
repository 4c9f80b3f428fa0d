// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/assessment_chooser.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/app_settings.h"
#include "views/assessment_text.h"

namespace {

const char kGroup[] = "assessment";

struct DiscardChoice {
  int hours;
  const char* text;
};
constexpr DiscardChoice kDiscards[] = {
    {kestrum::kDiscardHours, "first 4 h discarded"},
    {kestrum::kDiscardHoursClosedLate, "12 h: closed late"},
    {kestrum::kDiscardHoursPostMitigation, "24 h: after mitigation"},
};

}  // namespace

AssessmentChooser::AssessmentChooser(ProfileSources sources, QWidget* parent)
    : QWidget(parent), sources_(std::move(sources)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  auto* row = new QHBoxLayout();
  row->addWidget(new QLabel(QStringLiteral("Protocol"), this));
  ProtocolPicker = new QComboBox(this);
  ProtocolPicker->setObjectName("AssessmentProtocol");
  for (kestrum::Protocol p : kestrum::kProtocols) {
    ProtocolPicker->addItem(kestrum::ProtocolTitle(p), static_cast<int>(p));
  }
  row->addWidget(ProtocolPicker, 1);
  layout->addLayout(row);

  auto* parts = new QHBoxLayout();
  DiscardPicker = new QComboBox(this);
  DiscardPicker->setObjectName("AssessmentDiscard");
  for (const DiscardChoice& d : kDiscards)
    DiscardPicker->addItem(QString::fromUtf8(d.text), d.hours);
  HoursEdit = new QLineEdit(QString::fromUtf8(kestrum::kDefaultSchedule), this);
  HoursEdit->setObjectName("AssessmentHours");
  HoursEdit->setToolTip(
      QStringLiteral("Occupied hours: blocks such as \"Mon-Thu 07:30-16:30,Sat "
                     "09:00-12:00\"; press Return to use them"));
  ProfileFileButton = new QPushButton(QStringLiteral("Load a profile file\u2026"), this);
  ProfileSiteButton = new QPushButton(QStringLiteral("Derive from a site's year\u2026"), this);
  for (QWidget* w :
       {static_cast<QWidget*>(DiscardPicker), static_cast<QWidget*>(HoursEdit),
        static_cast<QWidget*>(ProfileFileButton), static_cast<QWidget*>(ProfileSiteButton)}) {
    parts->addWidget(w);
  }
  parts->addStretch(1);
  layout->addLayout(parts);
  Detail = new QLabel(this);
  Detail->setObjectName("AssessmentDetail");
  Detail->setWordWrap(true);
  layout->addWidget(Detail);

  Restore();
  connect(ProtocolPicker, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
    ShowProtocolParts();
    Remember();
    emit changed();
  });
  connect(DiscardPicker, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
    Remember();
    emit changed();
  });
  connect(HoursEdit, &QLineEdit::editingFinished, this, &AssessmentChooser::HoursEdited);
  connect(ProfileFileButton, &QPushButton::clicked, this, &AssessmentChooser::LoadProfileFile);
  connect(ProfileSiteButton, &QPushButton::clicked, this, &AssessmentChooser::DeriveProfile);
  ShowProtocolParts();
}

kestrum::AssessmentRequest AssessmentChooser::Request() const {
  kestrum::AssessmentRequest request;
  request.protocol = static_cast<kestrum::Protocol>(ProtocolPicker->currentData().toInt());
  request.discardHours = DiscardPicker->currentData().toInt();
  request.schedule = schedule_;
  request.profile = profile_;
  return request;
}

std::optional<QString> AssessmentChooser::Missing() const {
  const kestrum::Protocol p = Request().protocol;
  if (p == kestrum::Protocol::kLongTerm && !profile_) {
    return QStringLiteral(
        "A long-term estimate needs a seasonal profile: load a profile file, "
        "or derive one from a site's year in the history.");
  }
  return std::nullopt;
}

void AssessmentChooser::SetProtocol(kestrum::Protocol protocol) {
  ProtocolPicker->setCurrentIndex(ProtocolPicker->findData(static_cast<int>(protocol)));
}

void AssessmentChooser::ShowProtocolParts() {
  const kestrum::Protocol p = Request().protocol;
  DiscardPicker->setVisible(p == kestrum::Protocol::kUsShortTerm);
  HoursEdit->setVisible(p == kestrum::Protocol::kWorkplace);
  ProfileFileButton->setVisible(p == kestrum::Protocol::kLongTerm);
  ProfileSiteButton->setVisible(p == kestrum::Protocol::kLongTerm && sources_.derive != nullptr);
  QString detail;
  if (p == kestrum::Protocol::kLongTerm) {
    detail = profile_ ? QStringLiteral("Profile: ") + QString::fromStdString(profile_->name)
                      : Missing().value_or(QString());
  } else if (p == kestrum::Protocol::kWorkplace) {
    detail = QStringLiteral("Occupied: ") +
             QString::fromStdString(schedule_ ? schedule_->Text() : kestrum::kDefaultSchedule);
  }
  Detail->setText(detail);
  Detail->setVisible(!detail.isEmpty());
}

void AssessmentChooser::HoursEdited() {
  const std::string text = HoursEdit->text().toStdString();
  kestrum::Result<kestrum::OccupancySchedule> parsed = kestrum::OccupancySchedule::Parse(text);
  if (!parsed) {
    Detail->setText(QString::fromStdString(parsed.error()));
    Detail->setVisible(true);
    return;
  }
  if (schedule_ && schedule_->Text() == parsed->Text()) return;
  schedule_ = std::move(parsed).value();
  HoursEdit->setText(QString::fromStdString(schedule_->Text()));
  ShowProtocolParts();
  Remember();
  emit changed();
}

void AssessmentChooser::LoadProfileFile() {
  if (!sources_.askFile) return;
  if (const std::optional<std::string> path = sources_.askFile()) {
    UseProfile(kestrum::ReadSeasonalProfileFile(*path), *path, {});
  }
}

void AssessmentChooser::DeriveProfile() {
  if (!sources_.askSite || !sources_.derive) return;
  if (const std::optional<std::string> site = sources_.askSite()) {
    UseProfile(sources_.derive(*site), {}, *site);
  }
}

void AssessmentChooser::UseProfile(kestrum::Result<kestrum::SeasonalProfile> profile,
                                   const std::string& file, const std::string& site) {
  if (!profile) {
    if (sources_.showError) sources_.showError(QString::fromStdString(profile.error()));
    return;
  }
  profile_ = std::move(profile).value();
  profileFile_ = file;
  profileSite_ = site;
  ShowProtocolParts();
  Remember();
  emit changed();
}

void AssessmentChooser::Remember() const {
  const auto settings = kestrum::OpenAppSettings();
  settings->beginGroup(kGroup);
  const kestrum::AssessmentRequest r = Request();
  settings->setValue("protocol", QString::fromUtf8(kestrum::ProtocolName(r.protocol).data()));
  settings->setValue("discardHours", r.discardHours);
  settings->setValue(
      "hours", QString::fromStdString(schedule_ ? schedule_->Text() : kestrum::kDefaultSchedule));
  settings->setValue("profileFile", QByteArray::fromStdString(profileFile_));
  settings->setValue("profileSite", QString::fromStdString(profileSite_));
  settings->endGroup();
}

void AssessmentChooser::Restore() {
  const auto settings = kestrum::OpenAppSettings();
  settings->beginGroup(kGroup);
  const std::optional<kestrum::Protocol> protocol =
      kestrum::ProtocolNamed(settings->value("protocol").toString().toStdString());
  SetProtocol(protocol.value_or(kestrum::Protocol::kPeriod));
  const int discard = DiscardPicker->findData(settings->value("discardHours").toInt());
  DiscardPicker->setCurrentIndex(std::max(0, discard));
  kestrum::Result<kestrum::OccupancySchedule> schedule =
      kestrum::OccupancySchedule::Parse(settings->value("hours").toString().toStdString());
  if (schedule) {
    schedule_ = std::move(schedule).value();
    HoursEdit->setText(QString::fromStdString(schedule_->Text()));
  }
  profileFile_ = settings->value("profileFile").toByteArray().toStdString();
  profileSite_ = settings->value("profileSite").toString().toStdString();
  settings->endGroup();
  // A profile that cannot be had again is simply not there: the protocol says so.
  if (!profileFile_.empty()) {
    kestrum::Result<kestrum::SeasonalProfile> profile =
        kestrum::ReadSeasonalProfileFile(profileFile_);
    if (profile) profile_ = std::move(profile).value();
  } else if (!profileSite_.empty() && sources_.derive) {
    kestrum::Result<kestrum::SeasonalProfile> profile = sources_.derive(profileSite_);
    if (profile) profile_ = std::move(profile).value();
  }
}
