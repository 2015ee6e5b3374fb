// The modal dialogs of the settings window: each shows its model from the
// sheet's core, calls the model's operations for its buttons and writes the
// controls back into the model when it ends. The sort options, default
// words and distribution terms carry the tiled background.
// Before any header of the sheet: it takes back the name MessageBox.
#include "ui/win32/win32_desktop.h"

#include <commctrl.h>

#include <string>

#include "sheet/option_dialogs.h"
#include "ui/win32/icon_button.h"
#include "ui/win32/resource.h"
#include "ui/win32/static_link.h"
#include "ui/win32/text_conversion.h"
#include "ui/win32/tiled_background.h"
#include "ui/win32/transparent_group_box.h"

namespace vellora {

namespace {

// The About box's links; the template shows the addresses.
const char kWebTarget[] = "https://example.org/vellora/";
const char kMailTarget[] = "mailto:vellora@example.org?subject=vellora%20feedback";

// Ctrl+A in an edit box selects its whole text and shows the caret.
LRESULT CALLBACK SelectAllProc(HWND edit, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                               DWORD_PTR) {
  if (message == WM_KEYDOWN && wparam == 'A' && GetKeyState(VK_CONTROL) < 0) {
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    return 0;
  }
  // The character Ctrl+A makes (no beep, no text).
  if (message == WM_CHAR && wparam == 1) return 0;
  return DefSubclassProc(edit, message, wparam, lparam);
}

// A dialog over its template, run modally. The procedure finds the object
// through DWLP_USER; OK and Cancel end the dialog after OnEnd.
class CModalDialog {
 public:
  CModalDialog(const CModalDialog&) = delete;
  CModalDialog& operator=(const CModalDialog&) = delete;
  virtual ~CModalDialog() = default;

  // Shows the dialog; while it is open the desktop's boxes and choosers
  // belong to it.
  INT_PTR Run(CWin32Desktop* desktop, int template_id) {
    desktop_ = desktop;
    const HWND owner = desktop->owner();
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id),
                                           owner, Proc, reinterpret_cast<LPARAM>(this));
    desktop->SetOwner(owner);
    return result;
  }

 protected:
  CModalDialog() = default;

  virtual void OnInit() {}
  // A button other than OK and Cancel; true when it was this dialog's.
  virtual bool OnButton(int) { return false; }
  // OK or Cancel, before the dialog ends with it.
  virtual void OnEnd(int) {}

  // Makes a push button an icon button with the given look.
  void IconButton(int item, int icon, bool flat, bool transparent) {
    CIconButton* button = CIconButton::Attach(window_, item);
    if (button == nullptr) return;
    if (icon != 0) button->SetIcon(icon);
    button->SetFlat(flat);
    if (transparent) button->DrawTransparent();
  }
  // The tiled background, from the named file or the built-in picture.
  void TileBackground(const std::string& file) {
    tiles_.Load(file);
    tiled_ = true;
  }
  bool Checked(int item) const { return IsDlgButtonChecked(window_, item) == BST_CHECKED; }
  void SetChecked(int item, bool on) {
    CheckDlgButton(window_, item, on ? BST_CHECKED : BST_UNCHECKED);
  }
  // Names and paths: the system's code page.
  std::string Text(int item) const {
    HWND control = GetDlgItem(window_, item);
    std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(control, &text[0], static_cast<int>(text.size()))));
    return text;
  }
  void SetText(int item, const std::string& text) { SetDlgItemTextA(window_, item, text.c_str()); }

  HWND window_ = nullptr;
  CWin32Desktop* desktop_ = nullptr;

 private:
  static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
      SetWindowLongPtrW(window, DWLP_USER, lparam);
      reinterpret_cast<CModalDialog*>(lparam)->window_ = window;
    }
    auto* self = reinterpret_cast<CModalDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    return self == nullptr ? FALSE : self->OnMessage(message, wparam, lparam);
  }

  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_INITDIALOG:
        desktop_->SetOwner(window_);
        OnInit();
        return TRUE;
      case WM_DRAWITEM:
        if (!CIconButton::RelayDrawItem(lparam)) return FALSE;
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
        return TRUE;
      case WM_CTLCOLORSTATIC:
        if (HBRUSH link = CStaticLink::RelayControlColor(reinterpret_cast<HDC>(wparam),
                                                         reinterpret_cast<HWND>(lparam))) {
          return reinterpret_cast<INT_PTR>(link);
        }
        break;
      case WM_COMMAND: {
        if (HIWORD(wparam) != BN_CLICKED) return FALSE;
        const int item = LOWORD(wparam);
        if (item == IDOK || item == IDCANCEL) {
          OnEnd(item);
          EndDialog(window_, item);
          return TRUE;
        }
        return OnButton(item) ? TRUE : FALSE;
      }
      default:
        break;
    }
    INT_PTR result = FALSE;
    if (tiled_ && tiles_.HandleMessage(window_, message, wparam, lparam, &result)) return result;
    return FALSE;
  }

  CTiledBackground tiles_;
  bool tiled_ = false;
};

DialogResult ResultOf(INT_PTR ended) {
  return ended == IDOK ? DialogResult::kOk : DialogResult::kCancel;
}

// A check box or radio and the model's flag it shows.
template <class Model>
struct FlagItem {
  int item;
  bool Model::*flag;
};

const FlagItem<CSortOptionsModel> kSortItems[] = {
    {IDC_SORT_FOLDERS_FIRST, &CSortOptionsModel::folders_first},
    {IDC_SORT_BY_NAME, &CSortOptionsModel::by_name},
    {IDC_SORT_BY_SIZE, &CSortOptionsModel::by_size},
    {IDC_SORT_BY_DATE, &CSortOptionsModel::by_date},
    {IDC_SORT_BY_TYPE, &CSortOptionsModel::by_type},
    {IDC_SORT_ASCENDING, &CSortOptionsModel::ascending},
    {IDC_SORT_DESCENDING, &CSortOptionsModel::descending},
    {IDC_SORT_UNSORTED, &CSortOptionsModel::unsorted},
    {IDC_SORT_COLUMN_WISE, &CSortOptionsModel::column_wise},
};

const FlagItem<CRecursiveOptionsModel> kRecursiveItems[] = {
    {IDC_REC_SKIP_ROOT, &CRecursiveOptionsModel::skip_root},
    {IDC_REC_LINK_FOLDERS, &CRecursiveOptionsModel::link_folders},
    {IDC_REC_FOLDER_NAME_TITLE, &CRecursiveOptionsModel::folder_name_title},
    {IDC_REC_FULL_PATH_TITLE, &CRecursiveOptionsModel::full_path_title},
    {IDC_REC_DEFAULT_TITLE, &CRecursiveOptionsModel::default_title},
};

// A dialog of check boxes and radios only; OK takes their states.
template <class Model, size_t N>
class CFlagsDialog : public CModalDialog {
 public:
  CFlagsDialog(Model* model, const FlagItem<Model> (&items)[N]) : model_(model), items_(items) {}

 protected:
  void OnInit() override {
    for (const FlagItem<Model>& f : items_) SetChecked(f.item, model_->*f.flag);
  }
  void OnEnd(int item) override {
    if (item != IDOK) return;
    for (const FlagItem<Model>& f : items_) model_->*f.flag = Checked(f.item);
  }

  Model* model_;
  const FlagItem<Model> (&items_)[N];
};

class CSortOptionsDialog : public CFlagsDialog<CSortOptionsModel, 9> {
 public:
  explicit CSortOptionsDialog(CSortOptionsModel* model) : CFlagsDialog(model, kSortItems) {}

 private:
  void OnInit() override {
    TileBackground(model_->background_bitmap);
    CTransparentGroupBox::Attach(window_, IDC_SORT_KEY_GROUP);
    CTransparentGroupBox::Attach(window_, IDC_SORT_ORDER_GROUP);
    IconButton(IDOK, IDI_OK, true, true);
    IconButton(IDCANCEL, IDI_CANCEL, true, true);
    CFlagsDialog::OnInit();
  }
};

class CDefaultWordsDialog : public CModalDialog {
 public:
  explicit CDefaultWordsDialog(CDefaultWordsModel* model) : model_(model) {}

 private:
  static int Box(size_t i) { return IDC_WORD_FIRST + static_cast<int>(i); }

  void OnInit() override {
    TileBackground(model_->background_bitmap);
    IconButton(IDOK, IDI_OK, true, true);
    IconButton(IDCANCEL, IDI_CANCEL, true, true);
    IconButton(IDC_WORDS_RESTORE, 0, false, true);
    ShowWords(*model_);
    for (size_t i = 0; i < CDefaultWordsModel::kWords; ++i) {
      SetWindowSubclass(GetDlgItem(window_, Box(i)), SelectAllProc, 0, 0);
    }
  }
  void ShowWords(const CDefaultWordsModel& words) {
    for (size_t i = 0; i < CDefaultWordsModel::kWords; ++i) SetText(Box(i), words.boxes[i]);
  }
  // The defaults go into the boxes only; the words change on OK.
  bool OnButton(int item) override {
    if (item != IDC_WORDS_RESTORE) return false;
    CDefaultWordsModel defaults = *model_;
    defaults.RestoreDefaults();
    ShowWords(defaults);
    return true;
  }
  void OnEnd(int item) override {
    if (item != IDOK) return;
    for (size_t i = 0; i < CDefaultWordsModel::kWords; ++i) model_->boxes[i] = Text(Box(i));
  }

  CDefaultWordsModel* model_;
};

// The flags' check boxes and the two edit boxes; the checksum box follows the
// manifest box.
class CMoreOptionsDialog : public CModalDialog {
 public:
  explicit CMoreOptionsDialog(CMoreOptionsModel* model) : model_(model) {}

 private:
  using M = CMoreOptionsModel;
  static int Flag(size_t i) { return IDC_MORE_FLAG_FIRST + static_cast<int>(i); }
  static int Box(size_t i) { return IDC_MORE_BOX_FIRST + static_cast<int>(i); }

  void SetLabel(int item, const char* text) {
    SetDlgItemTextW(window_, item, WideFromText(text).c_str());
  }
  void EnableChecksums() {
    EnableWindow(GetDlgItem(window_, Flag(M::kManifestChecksums)), Checked(Flag(M::kManifest)));
  }

  void OnInit() override {
    TileBackground(model_->background_bitmap);
    SetLabel(IDC_MORE_PAGES_GROUP, M::kPagesGroup);
    SetLabel(IDC_MORE_MANIFEST_GROUP, M::kManifestGroup);
    CTransparentGroupBox::Attach(window_, IDC_MORE_PAGES_GROUP);
    CTransparentGroupBox::Attach(window_, IDC_MORE_MANIFEST_GROUP);
    IconButton(IDOK, IDI_OK, true, true);
    IconButton(IDCANCEL, IDI_CANCEL, true, true);
    for (size_t i = 0; i < M::kFlagCount; ++i) {
      SetLabel(Flag(i), M::kFlagLabels[i]);
      SetChecked(Flag(i), model_->flags[i]);
    }
    for (size_t i = 0; i < M::kBoxCount; ++i) {
      SetLabel(IDC_MORE_LABEL_FIRST + static_cast<int>(i), M::kBoxLabels[i]);
      SetText(Box(i), model_->boxes[i]);
      SendDlgItemMessageW(window_, Box(i), EM_SETCUEBANNER, TRUE,
                          reinterpret_cast<LPARAM>(WideFromText(M::kBoxHints[i]).c_str()));
      SetWindowSubclass(GetDlgItem(window_, Box(i)), SelectAllProc, 0, 0);
    }
    EnableChecksums();
  }
  bool OnButton(int item) override {
    if (item != Flag(M::kManifest)) return false;
    EnableChecksums();
    return true;
  }
  void OnEnd(int item) override {
    if (item != IDOK) return;
    for (size_t i = 0; i < M::kFlagCount; ++i) model_->flags[i] = Checked(Flag(i));
    for (size_t i = 0; i < M::kBoxCount; ++i) model_->boxes[i] = Text(Box(i));
  }

  CMoreOptionsModel* model_;
};

// Rows of the frame files dialog: a name button, the box, an edit button.
class CFrameFilesDialog : public CModalDialog {
 public:
  explicit CFrameFilesDialog(CFrameFilesModel* model) : model_(model) {}

 private:
  static constexpr int kRows = 3;
  static int Item(int row, int column) {
    return IDC_FRAME_FIRST + row * IDC_FRAME_ROW_STEP + column;
  }

  void OnInit() override {
    for (int row = 0; row < kRows; ++row) SetText(Item(row, 1), model_->boxes[row]);
  }
  void ReadBoxes() {
    for (int row = 0; row < kRows; ++row) model_->boxes[row] = Text(Item(row, 1));
  }
  bool OnButton(int item) override {
    const int index = item - IDC_FRAME_FIRST;
    if (index < 0 || index >= kRows * IDC_FRAME_ROW_STEP) return false;
    const auto row = static_cast<CFrameFilesModel::Row>(index / IDC_FRAME_ROW_STEP);
    ReadBoxes();
    if (index % IDC_FRAME_ROW_STEP == 0) {
      model_->Choose(row);
      SetText(Item(row, 1), model_->boxes[row]);
    } else if (index % IDC_FRAME_ROW_STEP == 2) {
      model_->Edit(row);
    }
    return true;
  }
  // Both OK and Cancel hand the names back.
  void OnEnd(int) override { ReadBoxes(); }

  CFrameFilesModel* model_;
};

class CFileCreatedDialog : public CModalDialog {
 public:
  explicit CFileCreatedDialog(CFileCreatedModel* model) : model_(model) {}

 private:
  void OnInit() override {
    SetDlgItemTextW(window_, IDC_CREATED_COUNT,
                    WideFromText(model_->CountLine()).c_str());
    // Measured in the line's own device context, whose font is not the
    // dialog's: the text is shortened as that font measures it.
    HWND line = GetDlgItem(window_, IDC_CREATED_PATH);
    HDC dc = GetDC(line);
    const std::string shown =
        model_->PathLine(CFileCreatedModel::kPathWidth, [dc](const std::string& text) {
          const std::wstring wide = WideFromText(text);
          SIZE size = {0, 0};
          GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
          return static_cast<int>(size.cx);
        });
    ReleaseDC(line, dc);
    SetWindowTextW(line, WideFromText(shown).c_str());
  }
  // The full path, not the shortened line; the notice stays open.
  bool OnButton(int item) override {
    if (item != IDC_CREATED_OPEN) return false;
    model_->OpenFile();
    return true;
  }

  CFileCreatedModel* model_;
};

class CAboutDialog : public CModalDialog {
 private:
  void OnInit() override {
    SetDlgItemTextW(window_, IDC_ABOUT_BUILD, WideFromText(kAboutBuildLine).c_str());
    CStaticLink::Attach(window_, IDC_ABOUT_WEB, kWebTarget);
    CStaticLink::Attach(window_, IDC_ABOUT_MAIL, kMailTarget);
    IconButton(IDOK, IDI_OK, false, false);
  }
};

class CDistributionTermsDialog : public CModalDialog {
 public:
  // The heading font asks for the Chinese character set: with the default
  // (Western) set a system in another code page draws the heading as boxes.
  explicit CDistributionTermsDialog(const std::string& background) : background_(background) {
    heading_font_ =
        CreateFontW(18, 0, 0, 0, FW_BOLD, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, L"Sans Serif");
  }
  ~CDistributionTermsDialog() override {
    if (heading_font_ != nullptr) DeleteObject(heading_font_);
  }

 private:
  void OnInit() override {
    SendDlgItemMessageW(window_, IDC_TERMS_HEADING, WM_SETFONT,
                        reinterpret_cast<WPARAM>(heading_font_), FALSE);
    TileBackground(background_);
    IconButton(IDOK, IDI_OK, false, true);
  }

  std::string background_;
  HFONT heading_font_ = nullptr;
};

}  // namespace

DialogResult CWin32Desktop::ShowSortOptions(CSortOptionsModel* model) {
  CSortOptionsDialog dialog(model);
  return ResultOf(dialog.Run(this, IDD_SORT_OPTIONS));
}

DialogResult CWin32Desktop::ShowMoreOptions(CMoreOptionsModel* model) {
  CMoreOptionsDialog dialog(model);
  return ResultOf(dialog.Run(this, IDD_MORE_OPTIONS));
}

DialogResult CWin32Desktop::ShowDefaultWords(CDefaultWordsModel* model) {
  CDefaultWordsDialog dialog(model);
  return ResultOf(dialog.Run(this, IDD_DEFAULT_WORDS));
}

DialogResult CWin32Desktop::ShowRecursiveOptions(CRecursiveOptionsModel* model) {
  CFlagsDialog<CRecursiveOptionsModel, 5> dialog(model, kRecursiveItems);
  return ResultOf(dialog.Run(this, IDD_RECURSIVE_OPTIONS));
}

DialogResult CWin32Desktop::ShowFrameFiles(CFrameFilesModel* model) {
  CFrameFilesDialog dialog(model);
  return ResultOf(dialog.Run(this, IDD_FRAME_FILES));
}

void CWin32Desktop::ShowFileCreated(CFileCreatedModel* model) {
  CFileCreatedDialog dialog(model);
  dialog.Run(this, IDD_FILE_CREATED);
}

void CWin32Desktop::ShowAbout() {
  CAboutDialog dialog;
  dialog.Run(this, IDD_ABOUT);
}

void CWin32Desktop::ShowDistributionTerms(const std::string& background_bitmap) {
  CDistributionTermsDialog dialog(background_bitmap);
  dialog.Run(this, IDD_DISTRIBUTION_TERMS);
}

}  // namespace vellora
