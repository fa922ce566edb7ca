// A horizontal progress bar drawn from six picture items: a background of a
// stretched middle between two end caps (items 0, 1, 2) and a foreground bar
// of a left cap, a stretched middle and a right cap (items 4, 3, 5) whose
// total width follows Position. The items are painted as by any picture
// rectangle; the bar only places the three foreground items.
//
// It can also run a shine: a child picture, MoveImage, that travels from left
// to right across the filled part. A worker thread paces it; every step runs
// on the user-interface thread, which owns the controls, through a blocking
// hand-over to the bar's window, so steps never pile up or overlap.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

#include "skin/ImageRect.h"
#include "ui/Image.h"
#include "ui/UniqueHandle.h"

namespace skin {

// The private message that asks the bar's window for one animation step.
// wParam kAnimateStep moves the shine; kAnimateResume ends the pause after
// the shine wrapped around. The answer to kAnimateStep is kAnimatePause when
// the shine has just wrapped around and the pause begins.
inline constexpr UINT WM_ANIMATE_STEP = WM_USER + 100;
inline constexpr WPARAM kAnimateStep = 0;
inline constexpr WPARAM kAnimateResume = 1;
inline constexpr LRESULT kAnimatePause = 1;

// Paces the shine of one bar: every 20 ms it hands the bar's window one step
// and waits until the step is done there. It never touches a control itself.
// The second's rest after each pass is spent here, so that no step runs a
// message loop of its own in which the bar could be stopped or freed under
// it. Stopping it (its destructor) wakes it at once and waits for it to end while
// serving the messages other threads send, so a step that is being handed
// over when the stop comes is served instead of deadlocking both threads.
class TAnimateThread {
 public:
  // Created suspended; Start lets it run.
  TAnimateThread();
  ~TAnimateThread();
  TAnimateThread(const TAnimateThread&) = delete;
  TAnimateThread& operator=(const TAnimateThread&) = delete;

  void Start();
  // The window that performs the steps; may change while running.
  void SetWindow(HWND window) { window_.store(window); }
  HWND Window() const { return window_.load(); }
  // Whether the thread exists and has not ended.
  bool Running() const;
  DWORD ThreadId() const { return threadId_; }

 private:
  static unsigned __stdcall ThreadProc(void* self);
  void Run();
  // Waits up to ms for the stop; true when the stop came.
  bool WaitForStop(DWORD ms) const;

  std::atomic<HWND> window_{nullptr};
  ui::UniqueKernelHandle stop_;
  ui::UniqueKernelHandle thread_;
  DWORD threadId_ = 0;
  bool started_ = false;
};

class TImageProgress : public TImageRect {
 public:
  // Item roles by index in Items.
  enum : int {
    kBgMiddle = 0,
    kBgLeft = 1,
    kBgRight = 2,
    kBarMiddle = 3,
    kBarLeft = 4,
    kBarRight = 5,
    kItemCount = 6,
  };

  explicit TImageProgress(ui::TComponent* owner = nullptr);
  ~TImageProgress() override;
  std::wstring_view ClassName() const override { return L"TImageProgress"; }

  int Max() const { return max_; }
  // Plain values: the bar follows at the next Position, visible or move.
  void SetMax(int v) { max_ = v; }
  int Min() const { return min_; }
  void SetMin(int v) { min_ = v; }
  int Position() const { return position_; }
  // Stores the value and, when the bar is visible, has six items and a
  // range, places the foreground items and repaints at once.
  void SetPosition(int value);
  // Shows or hides the bar, then lays it out for the current Position.
  void SetVisible(bool visible) override;
  // For screen readers: how far the bar is from Min to Max, as "55%".
  std::wstring AccessibleValue() const override;

  bool OpenAnimate() const { return openAnimate_; }
  void SetOpenAnimate(bool on);
  // The shine's picture lives in the MoveImage child; empty once it is gone.
  ui::TPicture MoveImage() const;
  void SetMoveImage(const ui::TPicture& picture);
  int AnimateTop() const { return animateTop_; }
  void SetAnimateTop(int top);
  bool AlwaysAnimate() const { return alwaysAnimate_; }
  void SetAlwaysAnimate(bool on) { alwaysAnimate_ = on; }
  int AnimateRightOffset() const { return animateRightOffset_; }
  void SetAnimateRightOffset(int v) { animateRightOffset_ = v; }

  // Where the shine stops, in pixels from the bar's left edge.
  int AnimateLimit() const { return animateLimit_; }
  // The shine itself; null once the bar is being destroyed.
  ui::TImage* MoveImageControl() const { return moveImage_; }
  // The pacing thread while the animation is on, else null.
  const TAnimateThread* AnimateThread() const { return thread_.get(); }

  // One step of the shine (what the thread has the window do). Answers
  // true when the shine has wrapped around: it stays hidden until
  // ResumeAnimation ends the pause.
  bool AnimateStep();
  void ResumeAnimation();

  // The shine's offsets follow the scale too, and the bar is laid out again
  // for its new pictures (Scaling.cpp).
  void ChangeScale(int from, int dpi) override;
  void LayoutAfterScaling() override;

 protected:
  // The pacing thread follows the bar's window as it is made and destroyed.
  void HandleCreated() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // Ends the pacing thread, if any, without waiting on a step that this
  // very thread is running for it.
  void StopAnimateThread();

  int max_ = 0;
  int min_ = 0;
  int position_ = 0;
  bool openAnimate_ = false;
  int animateTop_ = 11;
  bool alwaysAnimate_ = false;
  int animateRightOffset_ = 0;
  int animateLimit_ = 0;
  // Owned as one of the bar's components.
  ui::TImage* moveImage_ = nullptr;
  std::unique_ptr<TAnimateThread> thread_;
  // A step handed over by the thread is running: the thread waits for it.
  bool handingOver_ = false;
  ui::TScaledFields scaledFields_;
};

}  // namespace skin
