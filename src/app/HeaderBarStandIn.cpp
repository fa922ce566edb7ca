#include "app/HeaderBarStandIn.h"

#include <windows.h>

#include "ui/Canvas.h"
#include "ui/LayoutReader.h"
#include "ui/WinControl.h"

namespace app {

void THeaderBarStandIn::Paint(ui::TCanvas& canvas) {
  canvas.StretchDraw(ClientRect(), client_);
  canvas.Draw(0, 0, left_);
  canvas.Draw(Width() - right_.Width(), 0, right_);
}

void THeaderBarStandIn::MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  ui::TGraphicControl::MouseDown(button, shift, x, y);
  if (button != ui::mbLeft || Parent() == nullptr || !Parent()->HandleAllocated()) return;
  ReleaseCapture();
  SendMessageW(GetAncestor(Parent()->Handle(), GA_ROOT), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

void RegisterHeaderBarStandIn() {
  using B = THeaderBarStandIn;
  const std::wstring b = L"TFormBorder";
  ui::RegisterLayoutClass(b, L"TGraphicControl", ui::Factory<B>());
  ui::RegisterLayoutProperty(b, L"Ex_LeftPic", ui::Setter(&B::SetLeftPic));
  ui::RegisterLayoutProperty(b, L"Ex_RightPic", ui::Setter(&B::SetRightPic));
  ui::RegisterLayoutProperty(b, L"Ex_ClientPic", ui::Setter(&B::SetClientPic));
  // Settings the real bar acts on; the stand-in reads and ignores them.
  const auto ignore = [](ui::TComponent&, const ui::TLayoutValue&, const ui::TLayoutContext&) {};
  for (const wchar_t* name :
       {L"Alignment", L"CanDragResize", L"SizeRectWidth", L"SizeRectHeight"}) {
    ui::RegisterLayoutProperty(b, name, ignore);
  }
}

}  // namespace app
