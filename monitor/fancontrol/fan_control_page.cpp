// The "Hushwind" page: its layout for boards with and without fan control, the switch, the
// method options with their "Setting" dialogs, OK and Cancel, and the method in force.
#include "monitor/channels/fan_output.h"
#include "monitor/fancontrol/fan_windows.h"
#include "monitor/fancontrol/fixed_fan_dialog.h"
#include "monitor/fancontrol/multi_fan_dialog.h"
#include "monitor/fancontrol/smart_fan_dialog.h"
#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/text/text.h"

namespace veltrix::monitor {

namespace {

constexpr int kLastMethodOption = 3;  // rFANMethod(3), the recommended setting, has no dialog

}  // namespace

void frmdoctor::WireFanControlEvents() {
  FanTimer.OnTimer = [this] { FanTimer_Timer(); };
  chkEnableFanControl.OnClick = [this] { chkEnableFanControl_Click(); };
  for (int i = 0; i < rFANMethod.Count(); ++i) rFANMethod[i].OnClick = [this, i] { rFANMethod_Click(i); };
  for (int i = 0; i < btnMethodSet.Count(); ++i)
    btnMethodSet[i].OnClick = [this, i] { btnMethodSet_Click(i); };
  for (int i = 0; i < cmdSelect.Count(); ++i) cmdSelect[i].OnClick = [this, i] { cmdSelect_Click(i); };
}

void frmdoctor::CheckSupportFanControlFromModel() {
  const std::string folder = program_.Sys().ProgramFolder();
  const std::string& lang = program_.G().LangPrefix;
  const bool supported = CheckSupportFANControl();
  // A missing picture only leaves the title empty; the rest of the page is laid out anyway.
  ImageTitle.Picture = folder + (supported ? "\\GIF\\Hushwind Bar.jpg" : "\\GIF\\Veltrix III.jpg");
  ApplyText(lang, supported ? 430 : 431, [this](const std::string& s) { Label8.Caption = s; });
  for (forms::Control* c : std::initializer_list<forms::Control*>{
           &chkEnableFanControl, &imgHushwindLogo, &framFanControl, &cmdSelect[0], &cmdSelect[1],
           &lblCurrentControlMethod, &txtCurrentControlMethod, &chkControlCDROMSpeed, &lblLowSpeed,
           &lblHighSpeed, &SldRotationSpeed}) {
    c->Visible = supported;
  }
  lblHushwindMessage.Visible = !supported;
  if (!supported) {
    lblHushwindMessage.Caption = "This model " + std::string(text::Trim(lblModelName_.Caption.Get(), " ")) +
                                 " does not support Hushwind function.";
  }
}

void frmdoctor::FanControlFunction() {
  if (!CheckSupportFANControl()) return;
  for (int i = 0; i < rFANMethod.Count(); ++i) rFANMethod[i].Enabled = false;
  if (FanControlEnabled) {
    chkEnableFanControl.Value = 1;
    framFanControl.Enabled = true;
    for (int i = 0; i < rFANMethod.Count(); ++i) {
      rFANMethod[i].Enabled = true;
      if (rFANMethod[i].Value && i < kLastMethodOption) btnMethodSet[i].Enabled = true;
    }
  } else {
    framFanControl.Enabled = false;
    for (int i = 0; i < rFANMethod.Count(); ++i) rFANMethod[i].Enabled = false;
    for (int i = 0; i < btnMethodSet.Count(); ++i) btnMethodSet[i].Enabled = false;
  }
}

void frmdoctor::ReadFanControl() {
  if (FanControlEnabled) {
    chkEnableFanControl.Value = 1;
    if (FanControlMethod >= 0 && FanControlMethod <= kLastMethodOption) {
      rFANMethod[FanControlMethod].Value = true;
      if (FanControlMethod != kFanMethodRecommended) btnMethodSet[FanControlMethod].Enabled = true;
    }
  } else {
    chkEnableFanControl.Value = 0;
  }
}

void frmdoctor::RecordFanControl() {
  for (int i = 0; i < kLastMethodOption; ++i) {
    if (rFANMethod[i].Value) {
      FanControlMethod = i;
      return;
    }
  }
}

void frmdoctor::DefaultFanControlStatus() {
  FanControlEnabled = false;
  FanControlMethod = kFanMethodNone;
  for (int i = 0; i < rFANMethod.Count(); ++i) rFANMethod[i].Enabled = false;
  for (int i = 0; i < btnMethodSet.Count(); ++i) btnMethodSet[i].Enabled = false;
  chkEnableFanControl.Value = 0;
  ReadFanControl();
}

void frmdoctor::ShowCurrentFanControlMethod() {
  if (FanControlMethod >= 0 && FanControlMethod <= kLastMethodOption) {
    txtCurrentControlMethod.Text = rFANMethod[FanControlMethod].Caption.Get();
  } else {
    txtCurrentControlMethod.Text = "Disable Fan Control";
  }
}

void frmdoctor::CloseAllFanControlMenu() {
  // Unloads by the program: only the smart dialog runs its exit steps on them.
  if (frmManualFAN* manual = LoadedManualFanDialog(program_)) manual->Unload();
  if (frmMultiFAN* multi = LoadedMultiFanDialog(program_)) multi->Unload();
  if (frmSmartFAN* smart = LoadedSmartFanDialog(program_)) smart->Unload();
}

void frmdoctor::chkEnableFanControl_Click() {
  if (chkEnableFanControl.Value == 1) {
    FanControlEnabled = true;
    // The program drives the fans now: slow or stopped fans are no alarm.
    for (int item = kFirstFanItem; item < kFirstFanItem + kFanCount; ++item) {
      WBeep[item] = 0;
      ChkBeep[item].Enabled = false;
      ChkBeep[item].Value = 0;
    }
    framFanControl.Enabled = true;
    for (int i = 0; i < rFANMethod.Count(); ++i) {
      rFANMethod[i].Enabled = true;
      if (rFANMethod[i].Value && i < kLastMethodOption) btnMethodSet[i].Enabled = true;
    }
  } else {
    for (int i = 0; i < btnMethodSet.Count(); ++i) btnMethodSet[i].Enabled = false;
    FanControlEnabled = false;
    framFanControl.Enabled = false;
    for (int i = 0; i < rFANMethod.Count(); ++i) rFANMethod[i].Enabled = false;
  }
}

void frmdoctor::rFANMethod_Click(int i) {
  for (int b = 0; b < btnMethodSet.Count(); ++b) btnMethodSet[b].Enabled = false;
  if (chkEnableFanControl.Value == 1 && i < kLastMethodOption) btnMethodSet[i].Enabled = true;
}

void frmdoctor::btnMethodSet_Click(int i) {
  FanDialogOpen = true;
  if (!rFANMethod[i].Value) rFANMethod[i].Value = true;
  switch (i) {
    case kFanMethodMultiLevel: {
      if (frmManualFAN* manual = LoadedManualFanDialog(program_)) manual->Unload();
      if (frmSmartFAN* smart = LoadedSmartFanDialog(program_)) smart->Unload();
      frmMultiFAN& multi = MultiFanDialog(program_);
      multi.Load();
      multi.MultiFanTimer.Enabled = true;
      multi.Show();
      break;
    }
    case kFanMethodFixed: {
      if (frmMultiFAN* multi = LoadedMultiFanDialog(program_)) multi->Unload();
      if (frmSmartFAN* smart = LoadedSmartFanDialog(program_)) smart->Unload();
      frmManualFAN& manual = ManualFanDialog(program_);
      manual.Load();
      manual.FixCPUFanTimer.Enabled = true;
      manual.FixSystemFanTimer.Enabled = true;
      manual.Show();
      break;
    }
    case kFanMethodSmart: {
      if (frmMultiFAN* multi = LoadedMultiFanDialog(program_)) multi->Unload();
      if (frmManualFAN* manual = LoadedManualFanDialog(program_)) manual->Unload();
      frmSmartFAN& smart = SmartFanDialog(program_);
      smart.Load();
      smart.SmartFanTimer.Enabled = true;
      smart.Show();
      break;
    }
    default:
      return;
  }
  FanControlMethod = i;
  ShowCurrentFanControlMethod();
}

void frmdoctor::cmdSelect_Click(int i) {
  auto& g = program_.G();
  auto fansAtFullOutput = [this, &g] {
    SetFanSpeed(program_, 0, 100);
    SetFanSpeed(program_, 1, 100);
    if (g.ChipFamily == kChipFamilyIte) SetFanSpeed(program_, 2, 100);
  };
  // No monitoring tick runs while the box is open.
  auto tell = [this](const char* text) {
    Timer1.Enabled = false;
    program_.Sys().MsgBox(text, platform::vbOKOnly | platform::vbInformation, "Message");
    Timer1.Enabled = true;
  };

  if (i == 0) {
    RecordFanControl();
    if (FanControlEnabled) {
      FanTimer.Enabled = true;
      for (int item = kFirstFanItem; item < kFirstFanItem + kFanCount; ++item) {
        WBeep[item] = 0;
        ChkBeep[item].Enabled = false;
      }
      FanControlMethod = kFanMethodRecommended;
      for (int m = 0; m < kLastMethodOption; ++m) {
        if (rFANMethod[m].Value) {
          FanControlMethod = m;
          break;
        }
      }
    } else {
      // Fan alarms beep again, except at start-up: there the stored beep flags stand.
      if (!FirstFanSelect) {
        for (int item = kFirstFanItem; item < kFirstFanItem + kFanCount; ++item) {
          if (!chkEnable[item].Visible) continue;
          ChkBeep[item].Value = 1;
          WBeep[item] = 1;
        }
      }
      FanTimer.Enabled = false;
      for (int item = kFirstFanItem; item < kFirstFanItem + kFanCount; ++item) ChkBeep[item].Enabled = true;
      fansAtFullOutput();
    }
    if (FirstFanSelect) {
      FirstFanSelect = false;
    } else {
      tell("Setting Finished !");
    }
  } else {
    chkEnableFanControl.Value = 0;
    FanTimer.Enabled = false;
    for (int item = kFirstFanItem; item < kFirstFanItem + kFanCount; ++item) ChkBeep[item].Enabled = true;
    // The item flags as they were when the monitoring page was last shown.
    WEnable = SavedWEnable;
    WBeep = SavedWBeep;
    RefreshItemRows();
    fansAtFullOutput();
    tell("Setting Canceled !");
  }
  ApplyBeepSettings();
  CloseAllFanControlMenu();
  ShowCurrentFanControlMethod();
}

}  // namespace veltrix::monitor
