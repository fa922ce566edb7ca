// The tool's main window and the controller of everything the user can do
// in it: start a generation, stop it, choose another target file, open the
// folder of a finished archive, move the window and close it. Its look is
// the layout compiled into the program (MainWindow.layout); its state is
// kept in the Tag of the Generate button (see TGenerateState).
//
// A generation runs inside the click that started it: the click waits for
// the job, serving the window's messages meanwhile, so Stop, the close
// button and the job's own reports all run nested inside it. Closing
// therefore waits for the outermost wait to return before the window goes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/MainWindowServices.h"
#include "i18n/Language.h"
#include "ui/Form.h"
#include "ui/LayoutReader.h"

namespace ui {
class TButton;
class TControl;
class TImage;
class TLabel;
}  // namespace ui
namespace skin {
class TImageButton;
class TImageProgress;
}  // namespace skin

// The values of imgBtnGen's Tag.
enum TGenerateState : std::int32_t {
  gsIdle = 0,
  gsSucceeded = 1,
  gsFailed = 2,
  gsRunning = 3,
};

class TfrmBRKPortable : public ui::TForm {
 public:
  explicit TfrmBRKPortable(app::TMainWindowServices services = app::RealMainWindowServices());
  ~TfrmBRKPortable() override;

  // The handlers the layout binds by name.
  ui::THandlerTable Handlers();

  void FormCreate(ui::TComponent& sender);
  void FormDestroy(ui::TComponent& sender);
  void imgBtnGenClick(ui::TComponent& sender);
  void btnBgClick(ui::TComponent& sender);
  void btnCancelClick(ui::TComponent& sender);
  void btnSelectPathClick(ui::TComponent& sender);
  void imgBtnCloseClick(ui::TComponent& sender);
  void imgBgMouseDown(ui::TComponent& sender, ui::TMouseButton button, ui::TShiftState shift, int x,
                      int y);
  void lbl_CaptionMouseDown(ui::TComponent& sender, ui::TMouseButton button, ui::TShiftState shift,
                            int x, int y);
  void btnBgMouseDown(ui::TComponent& sender, ui::TMouseButton button, ui::TShiftState shift, int x,
                      int y);
  void btnBgMouseUp(ui::TComponent& sender, ui::TMouseButton button, ui::TShiftState shift, int x,
                    int y);
  void btnBgMouseEnter(ui::TComponent& sender);
  void btnBgMouseLeave(ui::TComponent& sender);
  void imgBtnGenMouseDown(ui::TComponent& sender, ui::TMouseButton button, ui::TShiftState shift,
                          int x, int y);
  void imgBtnGenMouseUp(ui::TComponent& sender, ui::TMouseButton button, ui::TShiftState shift,
                        int x, int y);
  void imgBtnGenMouseEnter(ui::TComponent& sender);
  void imgBtnGenMouseLeave(ui::TComponent& sender);

  // The job's reports, on the user-interface thread.
  void ZipProgress(std::uint16_t percent, const std::wstring& currentFile);
  void ZipFinished(const archive::TJobResult& result);

  std::wstring GetInstallLocation() const;
  std::wstring GetLanguageName() const;

  // The start folder of the save dialog, ending in "\".
  const std::wstring& SaveDir() const { return FSaveDir; }
  bool UserStop() const { return FUserStop; }
  bool JobExists() const { return FZipFile != nullptr; }

 private:
  void InitCursors();
  void SetWindowRegion();
  void ApplyWindowRegion();
  void WriteClientSize();
  void StartGeneration();
  void WaitForJob();
  bool CloseQuery();
  void EndSession();
  void StopJob();
  void ShowFailure(const archive::TJobResult& result);
  void PlaceBelow(ui::TControl& control, const ui::TLabel& above) const;
  void MoveWindow();
  std::wstring Message(std::wstring_view key, std::wstring_view defaultText) const;
  void SetInfoColor(ui::TColor color);
  // The keyboard's and the screen readers' part (MainWindowKeyboard.cpp).
  void SetUpKeyboardAndReaders();
  void NameControlsForReaders();

  bool FUserStop = false;
  std::unique_ptr<app::TArchiveJob> FZipFile;
  std::unique_ptr<i18n::TLanguage> FLanguage;
  std::wstring FSaveDir;

  app::TMainWindowServices FServices;
  // How many waits for a job are running, nested in one another.
  int FWaiting = 0;
  // A close was asked for while a wait ran; it happens once all have ended.
  bool FCloseWhenDone = false;
  // The job being destroyed after a stop: its worker may still be removing
  // the partial archive.
  app::TArchiveJob* FEndingJob = nullptr;
  // The state in which the press that may become a click of the Generate
  // button (or the picture behind it) began; none without a press.
  std::optional<std::int32_t> FPressedIn;

  skin::TImageButton* FBtnBg = nullptr;
  skin::TImageButton* FImgBtnGen = nullptr;
  skin::TImageButton* FBtnSelectPath = nullptr;
  ui::TLabel* FLblInfo = nullptr;
  ui::TLabel* FLblPath = nullptr;
  ui::TLabel* FLblReason = nullptr;
  ui::TButton* FBtnCancel = nullptr;
  skin::TImageProgress* FImgProgress = nullptr;
  // The outline's right and bottom edges, which the window's region follows.
  ui::TImage* FImgBorderRight = nullptr;
  ui::TControl* FImageRect1 = nullptr;
  skin::TImageButton* FImgBtnClose = nullptr;
};
