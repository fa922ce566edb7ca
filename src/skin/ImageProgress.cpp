#include "skin/ImageProgress.h"

#include <process.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include "ui/MessageWait.h"

namespace skin {

namespace {

// One step every 20 ms, 10 pixels each: the shine moves 500 pixels a second.
constexpr DWORD kStepIntervalMs = 20;
constexpr int kStepPixels = 10;
// The shine is cut off this far before the right limit while it moves.
constexpr int kShineCutOff = 20;
// Where the shine starts a pass, left of the bar.
constexpr int kShineStart = -50;
// How long the shine rests hidden after each pass.
constexpr DWORD kWrapPauseMs = 1000;

int ClampToInt(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

void DebugLine(const wchar_t* label, int value) {
  OutputDebugStringW((label + std::to_wstring(value)).c_str());
}

}  // namespace

// --- TAnimateThread --------------------------------------------------------

TAnimateThread::TAnimateThread() : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  unsigned id = 0;
  const auto thread = _beginthreadex(nullptr, 0, &ThreadProc, this, CREATE_SUSPENDED, &id);
  thread_.reset(reinterpret_cast<HANDLE>(thread));
  threadId_ = id;
  if (!thread_ || !stop_) OutputDebugStringW(L"Progress animation: no thread");
}

TAnimateThread::~TAnimateThread() {
  if (!thread_) return;
  if (stop_) SetEvent(stop_.get());
  if (!started_) ResumeThread(thread_.get());
  // A step handed over just now waits for this thread: serve it.
  ui::WaitServingSentMessages(thread_.get());
}

void TAnimateThread::Start() {
  if (!thread_ || started_) return;
  started_ = true;
  ResumeThread(thread_.get());
}

bool TAnimateThread::Running() const {
  return thread_ && started_ && WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT;
}

bool TAnimateThread::WaitForStop(DWORD ms) const {
  // Without its event the thread could never be stopped: it ends at once.
  return !stop_ || WaitForSingleObject(stop_.get(), ms) != WAIT_TIMEOUT;
}

unsigned __stdcall TAnimateThread::ThreadProc(void* self) {
  try {
    static_cast<TAnimateThread*>(self)->Run();
  } catch (...) {
    OutputDebugStringW(L"Progress animation: the thread failed");
  }
  return 0;
}

void TAnimateThread::Run() {
  while (!WaitForStop(kStepIntervalMs)) {
    HWND window = window_.load();
    if (window == nullptr) continue;
    if (SendMessageW(window, WM_ANIMATE_STEP, kAnimateStep, 0) != kAnimatePause) continue;
    // The rest after a pass is spent here, not in the window's step: the
    // window keeps running its own message loop meanwhile, and a stop
    // during the rest ends this thread at once.
    if (WaitForStop(kWrapPauseMs)) return;
    SendMessageW(window_.load(), WM_ANIMATE_STEP, kAnimateResume, 0);
  }
}

// --- TImageProgress --------------------------------------------------------

TImageProgress::TImageProgress(ui::TComponent* owner) : TImageRect(owner) {
  SetDoubleBuffered(true);
  moveImage_ = &ui::Create<ui::TImage>(*this);
  moveImage_->SetName(L"MoveImage");
  moveImage_->SetVisible(false);
  moveImage_->SetBounds(0, animateTop_, 0, Height());
  moveImage_->SetParent(this);
  SetAccessibleRole(ui::arProgressBar);
}

TImageProgress::~TImageProgress() {
  // A step served while the thread ends finds no shine and does nothing.
  if (moveImage_ != nullptr) {
    std::unique_ptr<ui::TComponent> shine = RemoveComponent(*moveImage_);
    moveImage_ = nullptr;
  }
  StopAnimateThread();
}

void TImageProgress::SetPosition(int value) {
  const bool changed = value != position_;
  position_ = value;
  if (changed) NotifyAccessible(ui::TAccessibleChange::kValue);
  const std::int64_t range = std::int64_t{max_} - min_;
  if (Items().Count() < kItemCount || !Visible() || range <= 0) return;

  TImageItem& middle = Items().Items(kBarMiddle);
  TImageItem& left = Items().Items(kBarLeft);
  TImageItem& right = Items().Items(kBarRight);
  const bool filled = value != min_;
  for (TImageItem* item : {&middle, &left, &right}) item->SetVisible(filled);

  // The filled width, rounded up for values above Min. Worked in 64 bits: a
  // wide bar with a large range must not wrap around.
  const std::int64_t product = (std::int64_t{value} - min_) * Width();
  const std::int64_t filledWidth = product / range + (product % range != 0 ? 1 : 0);

  left.SetWidth(left.Picture().Width());
  right.SetWidth(right.Picture().Width());
  const std::int64_t caps = std::int64_t{left.Width()} + right.Width();
  // Never narrower than its two caps once it shows.
  middle.SetWidth(filledWidth < caps ? 0 : ClampToInt(filledWidth - caps));
  middle.SetLeft(left.Width());
  right.SetLeft(ClampToInt(std::int64_t{left.Width()} + middle.Width()));
  animateLimit_ =
      ClampToInt(std::int64_t{right.Left()} + right.Width() + std::int64_t{animateRightOffset_});
  Repaint();
}

void TImageProgress::SetVisible(bool visible) {
  TImageRect::SetVisible(visible);
  // Positions set while hidden were only stored.
  SetPosition(position_);
}

std::wstring TImageProgress::AccessibleValue() const {
  const std::int64_t range = std::int64_t{max_} - min_;
  const std::int64_t done = std::clamp<std::int64_t>(std::int64_t{position_} - min_, 0, range);
  return std::to_wstring(range > 0 ? done * 100 / range : 0) + L"%";
}

void TImageProgress::SetOpenAnimate(bool on) {
  openAnimate_ = on;
  if (!on) {
    StopAnimateThread();
    return;
  }
  const bool start = thread_ == nullptr;
  if (start) thread_ = std::make_unique<TAnimateThread>();
  HandleNeeded();
  thread_->SetWindow(Handle());
  if (start) thread_->Start();
}

void TImageProgress::StopAnimateThread() {
  if (thread_ == nullptr) return;
  // Stopped from inside a step that the thread handed over: the thread
  // waits for this step's answer, so give it now, or both would wait.
  if (handingOver_) ReplyMessage(0);
  thread_.reset();
}

ui::TPicture TImageProgress::MoveImage() const {
  return moveImage_ != nullptr ? moveImage_->Picture() : ui::TPicture{};
}

void TImageProgress::SetMoveImage(const ui::TPicture& picture) {
  if (moveImage_ != nullptr) moveImage_->SetPicture(picture);
}

void TImageProgress::SetAnimateTop(int top) {
  if (top == animateTop_) return;
  animateTop_ = top;
  if (moveImage_ != nullptr) moveImage_->SetTop(top);
}

bool TImageProgress::AnimateStep() {
  ui::TImage* shine = moveImage_;
  if (shine == nullptr) return false;
  if (position_ <= 0) {
    shine->SetWidth(0);
    return false;
  }
  const int limit = animateLimit_;
  const int width = shine->Width();
  const int shown = width >= 1 ? width : 0;
  const int left = shine->Left();
  // The shine reaches from its left edge to kShineCutOff before the limit.
  const int reach = ClampToInt(std::int64_t{width} + limit - shown - left - kShineCutOff);
  if (left < limit - shown) {
    shine->SetBounds(left + kStepPixels, shine->Top(), reach, Height());
    return false;
  }
  if (left < limit) {
    if (Items().Count() > kBarRight) {
      DebugLine(L"Items[Ord(fg_right)].Left: ", Items().Items(kBarRight).Left());
    }
    DebugLine(L"****** FMoveImage.Left: ", left);
    shine->SetWidth(reach);
    DebugLine(L"****** FMoveImage.Width: ", shine->Width());
    return false;
  }
  // Past the limit: rest hidden, then start again from the left.
  shine->SetBounds(kShineStart, shine->Top(), 0, shine->Height());
  shine->SetVisible(false);
  Repaint();
  return true;
}

void TImageProgress::ResumeAnimation() {
  if (moveImage_ == nullptr) return;
  // A full bar ends the shine unless it should always run.
  if (position_ < max_ || alwaysAnimate_) {
    moveImage_->SetWidth(0);
    moveImage_->SetVisible(true);
  }
}

void TImageProgress::HandleCreated() {
  TImageRect::HandleCreated();
  if (thread_ != nullptr) thread_->SetWindow(Handle());
}

LRESULT TImageProgress::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      // A handle outlives its window and may name another one later.
      if (thread_ != nullptr) thread_->SetWindow(nullptr);
      return TImageRect::WindowProc(message, wParam, lParam);
    case WM_ANIMATE_STEP: {
      handingOver_ = true;
      struct Done {
        bool& flag;
        ~Done() { flag = false; }
      } done{handingOver_};
      if (wParam == kAnimateResume) {
        ResumeAnimation();
        return 0;
      }
      return AnimateStep() ? kAnimatePause : 0;
    }
    case WM_WINDOWPOSCHANGED: {
      const LRESULT result = TImageRect::WindowProc(message, wParam, lParam);
      SetPosition(position_);
      Invalidate();
      return result;
    }
    default:
      return TImageRect::WindowProc(message, wParam, lParam);
  }
}

}  // namespace skin
