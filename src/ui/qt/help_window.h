// The help window `HelpForm`: a non-modal window with the title and the five
// installation notes, laid out again on every resize by the layout rule of
// ui/help_layout.h (twips converted at the screen's logical resolution).
// Below the notes, a note on this Linux installation (the drive map and the
// packaged archiver), and a "Chiudi" button; Escape and the desktop's close
// key (Ctrl+W) close it as well. Given the main window as parent it stays
// on top of it and goes with it.
#ifndef ZARIREVO_UI_QT_HELP_WINDOW_H_
#define ZARIREVO_UI_QT_HELP_WINDOW_H_

#include <QWidget>
#include <array>

#include "ui/help_layout.h"

class QLabel;
class QPushButton;

namespace zr::qt {

class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  /// The logical dots per inch used for twips (the screen's; tests fix it).
  double dpi() const;
  void set_dpi(double dpi) { dpi_override_ = dpi; }
  /// The layout last applied, in twips.
  const HelpLayout& layout_twips() const { return layout_; }
  QLabel* title_label() const { return title_; }
  QLabel* note_label(int index) const { return notes_[index]; }
  QLabel* linux_label() const { return linux_; }
  QPushButton* close_button() const { return close_; }

  /// Applies the layout rule to the current width.
  void ApplyLayout();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLabel* title_ = nullptr;
  std::array<QLabel*, kHelpNoteCount> notes_{};
  QLabel* linux_ = nullptr;
  QPushButton* close_ = nullptr;
  HelpLayout layout_;
  double dpi_override_ = 0;
};

}  // namespace zr::qt

#endif  // ZARIREVO_UI_QT_HELP_WINDOW_H_
