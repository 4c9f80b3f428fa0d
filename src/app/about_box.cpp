// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about_box.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TAbout* About = nullptr;

TAbout::TAbout(QWidget* parent) : QDialog(parent) {
  setObjectName("About");
  setWindowTitle("About Kestrum PC Interface");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(357, 240);

  Banner = new QLabel(this);
  Banner->setObjectName("Image1");
  Banner->setPixmap(QPixmap(":/banner.jpg"));
  Banner->setGeometry(0, 0, 361, 81);

  auto* panel = new QFrame(this);
  panel->setObjectName("Panel1");
  panel->setFrameShape(QFrame::Box);
  panel->setFrameShadow(QFrame::Sunken);
  panel->setGeometry(8, 86, 341, 92);
  Lines = new QLabel(panel);
  Lines->setObjectName("Lines");
  Lines->setAlignment(Qt::AlignCenter);
  Lines->setText(QStringList{"Kestrum PC Interface", "Version 2.21",
                             "For support, comments, suggestions",
                             "and future program updates, send  E-mail to:", kSupportAddress}
                     .join('\n'));
  Lines->setGeometry(2, 1, 337, 75);

  // The licence, in small type under the original's lines, which stay as they were.
  License = new QLabel(kLicenseLine, panel);
  License->setObjectName("License");
  License->setAlignment(Qt::AlignCenter);
  License->setToolTip(kLicenseTextPlaces);
  QFont small = License->font();
  small.setPixelSize(10);
  License->setFont(small);
  License->setGeometry(2, 75, 337, 15);

  OKButton = new QPushButton("OK", this);
  OKButton->setObjectName("OKButton");
  QFont big = OKButton->font();
  big.setPixelSize(21);
  OKButton->setFont(big);
  OKButton->setGeometry((357 - 225) / 2, 184, 225, 49);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}
