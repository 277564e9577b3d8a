// What the windowed front-ends (Qt, Win32) share of the user interface: the
// injectable message boxes and folder picker, the message area's lines kept
// until the area exists, the menu re-opener and the state listener, and the
// rule of an ended program.
//
// Contract: once the program has ended (`SetEnded`), every later request that
// would wait for the user throws `ProgramEnded` again, so a handler that is
// still running unwinds instead of carrying on. Beeps, pending input and the
// ending itself are each front-end's own.
#ifndef ZARIREVO_UI_WINDOWED_UI_H_
#define ZARIREVO_UI_WINDOWED_UI_H_

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/user_interface.h"

namespace zr {

/// The message area as a view draws it.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void AppendLine(const std::string& text, Color colour) = 0;
  virtual void SetBackground(Color background) = 0;
};

class WindowedUi : public UserInterface {
 public:
  using BoxHandler = std::function<Answer(const MessageBoxRequest&)>;
  using FolderPicker = std::function<std::string(const std::string& prompt)>;

  /// Where message boxes come from (default: the front-end's real box).
  void set_box_handler(BoxHandler handler) { box_handler_ = std::move(handler); }
  /// The folder picker (default: cancels).
  void set_folder_picker(FolderPicker picker) { folder_picker_ = std::move(picker); }
  /// Re-opens a menu path named from the bar down ({"Menu2", "Menu21"}).
  using MenuReopener = std::function<void(const std::vector<std::string>& path)>;
  void set_menu_reopener(MenuReopener reopen) {
    reopen_ = std::move(reopen);
  }
  /// Called when control states changed.
  void set_state_listener(std::function<void()> listener) { state_listener_ = std::move(listener); }

  bool ended() const { return ended_; }

  // UserInterface.
  Answer ShowMessageBox(const MessageBoxRequest& box) override;
  std::string BrowseForFolder(const std::string& prompt) override;
  void AppendMessageLine(const std::string& text, Color text_color) override;
  void SetMessageBackground(Color background) override;
  void ReopenMenu(const std::vector<std::string>& path) override;
  void StateChanged() override;

 protected:
  explicit WindowedUi(BoxHandler real_boxes);

  /// The message area; lines written before it exists are shown once it is set.
  void SetMessageSink(MessageSink* sink);
  /// Marks the program as ended; false when it already was.
  bool SetEnded();
  void ThrowIfEnded() const;

 private:
  BoxHandler box_handler_;
  FolderPicker folder_picker_;
  MenuReopener reopen_;
  std::function<void()> state_listener_;
  MessageSink* sink_ = nullptr;
  bool ended_ = false;
  // Lines and background written before the message area exists.
  std::vector<std::pair<std::string, Color>> pending_lines_;
  Color pending_background_ = kBackgroundNormal;
};

}  // namespace zr

#endif  // ZARIREVO_UI_WINDOWED_UI_H_
