// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The about box: banner, program name and version, where to get support, the licence.

#include <QDialog>

class QLabel;
class QPushButton;

class TAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TAbout(QWidget* parent = nullptr);

  QLabel* Banner = nullptr;
  QLabel* Lines = nullptr;
  QLabel* License = nullptr;
  QPushButton* OKButton = nullptr;
};

inline constexpr const char* kSupportAddress = "support@kestrum.example";
// The program links QCustomPlot (GPL-3.0), so it is GPL-3.0-or-later as a whole.
inline constexpr const char* kLicenseLine =
    "GNU GPL version 3 or later: /usr/share/common-licenses/GPL-3";
inline constexpr const char* kLicenseTextPlaces =
    "Licensed under the GNU General Public License, version 3 or later.\n"
    "The text is in /usr/share/common-licenses/GPL-3 and in LICENSE in the sources;\n"
    "the package's terms are in /usr/share/doc/kestrum/copyright.";

// The program's single about box, created hidden at start-up.
extern TAbout* About;
