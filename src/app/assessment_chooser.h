// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The protocol an assessment follows, with what that protocol needs: the
// hours a short-term test discards, a workplace's occupied hours, the
// seasonal profile of a long-term estimate. Shown in the summary dock and
// the history window; the choice is remembered.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <optional>

#include "assessment/assessment.h"
#include "records/result.h"

// Where a seasonal profile comes from; the window answers with its dialogs,
// tests with their own answers.
struct ProfileSources {
  // A profile file's path, as the system's bytes; nothing when cancelled.
  std::function<std::optional<std::string>()> askFile;
  // The site whose year gives the profile; nothing when cancelled.
  std::function<std::optional<std::string>()> askSite;
  // That site's profile, or why there is none.
  std::function<kestrum::Result<kestrum::SeasonalProfile>(const std::string& site)> derive;
  std::function<void(const QString& problem)> showError;
};

class AssessmentChooser : public QWidget {
  Q_OBJECT
 public:
  AssessmentChooser(ProfileSources sources, QWidget* parent);

  // The chosen protocol and its conditions; the caller adds the levels and
  // the calibration uncertainty.
  kestrum::AssessmentRequest Request() const;
  // Whatever the chosen protocol still lacks (a long-term estimate without a
  // profile); none when the request is complete.
  std::optional<QString> Missing() const;
  void SetProtocol(kestrum::Protocol protocol);

  QComboBox* ProtocolPicker;
  QComboBox* DiscardPicker;
  QLineEdit* HoursEdit;
  QPushButton* ProfileFileButton;
  QPushButton* ProfileSiteButton;
  QLabel* Detail;  // what the protocol uses, or what is wrong with it

 signals:
  void changed();

 private:
  void ShowProtocolParts();
  void HoursEdited();
  void LoadProfileFile();
  void DeriveProfile();
  // The profile from a file or a site, or its failure shown.
  void UseProfile(kestrum::Result<kestrum::SeasonalProfile> profile, const std::string& file,
                  const std::string& site);
  void Remember() const;
  void Restore();

  ProfileSources sources_;
  std::optional<kestrum::OccupancySchedule> schedule_;
  std::optional<kestrum::SeasonalProfile> profile_;
  std::string profileFile_;
  std::string profileSite_;
};
