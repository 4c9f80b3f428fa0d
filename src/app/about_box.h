#pragma once
// The about box: banner, program name and version, where to get support.

#include <QDialog>

class QLabel;
class QPushButton;

class TAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TAbout(QWidget* parent = nullptr);

  QLabel* Banner = nullptr;
  QLabel* Lines = nullptr;
  QPushButton* OKButton = nullptr;
};

inline constexpr const char* kSupportAddress = "support@kestrum.example";

// The program's single about box, created hidden at start-up.
extern TAbout* About;
