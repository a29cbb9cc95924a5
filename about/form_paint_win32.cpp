#include "about/form_paint_win32.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/win32/units_win32.h"

namespace vitrell {

namespace {

constexpr int kIconResourceId = 1;  // the program's icon, as the main window shows it

// The labels' fonts, then those of the form's child windows.
std::vector<ScaledFont> WithLabelFonts(const FormLayout& layout, std::vector<ScaledFont> partFonts) {
    std::vector<ScaledFont> fonts = LabelFonts(layout);
    fonts.insert(fonts.end(), partFonts.begin(), partFonts.end());
    return fonts;
}

// One line from the label's top-left corner. Not clipped: where a substitute face runs wider than the designed one,
// the text still shows whole.
constexpr UINT kLabelFormat = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;

// A text's area widened by what its first and last glyphs draw beyond their advance, and by a pixel each side for
// antialiased edges.
RECT WithOverhangs(HDC dc, std::wstring_view text, RECT r) {
    ABC first{};
    ABC last{};
    if (!text.empty() && GetCharABCWidthsW(dc, text.front(), text.front(), &first) &&
        GetCharABCWidthsW(dc, text.back(), text.back(), &last)) {
        r.left += std::min(0, first.abcA);
        r.right -= std::min(0, last.abcC);
    }
    r.left -= 1;
    r.right += 1;
    return r;
}

}  // namespace

FormPaintKit::FormPaintKit(HINSTANCE instance,
                           const FormLayout& layout,
                           std::vector<ScaledPart> parts,
                           std::vector<ScaledFont> partFonts)
    : instance_(instance),
      layout_(layout),
      background_(CreateSolidBrush(ToColorRef(layout.background))),
      linePen_(CreatePen(PS_SOLID, 1, ToColorRef(layout.lineColour))),
      scaler_(*this, std::move(parts), WithLabelFonts(layout, std::move(partFonts)), 1) {
    scaler_.Apply(ReadDpi());  // the window is made from the client size at the system's DPI
}

void FormPaintKit::Attach(HWND window, std::function<void()> laidOut) {
    ScaledWindowWin32::Attach(window);
    laidOut_ = std::move(laidOut);
    scaler_.Apply(DpiOfWindow(window));
}

void FormPaintKit::ChangeDpi(WPARAM wParam, LPARAM lParam) {
    const DpiChange change = ReadDpiChange(wParam, lParam);
    scaler_.Change(change.dpi, change.suggested);
}

ObjectHandle FormPaintKit::MakeImage(int, Dpi dpi) {
    const RECT icon = ToRect(ToPixels(layout_.icon, dpi));
    return Own(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(kIconResourceId), IMAGE_ICON,
                                             icon.right - icon.left, icon.bottom - icon.top, 0)));
}

void FormPaintKit::UseImage(int, ObjectHandle image) {
    if (!window_ || !image)
        return;
    // The logo is the form's icon too; the ones it replaces are the kit's to free, not the window's.
    (void)SendMessageW(window_, WM_SETICON, ICON_BIG, static_cast<LPARAM>(image));
    (void)SendMessageW(window_, WM_SETICON, ICON_SMALL, static_cast<LPARAM>(image));
}

// Measured at every layout: the faces and their sizes change with the DPI.
void FormPaintKit::LaidOut() {
    textAreas_.clear();
    textAreasTwips_.clear();
    drawnAreas_.clear();
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    for (size_t i = 0; i < layout_.labels.size(); ++i) {
        const LabelSpec& label = layout_.labels[i];
        const RECT box = Pixels(label.rect);
        RECT text = box;
        RECT drawn = box;
        const std::wstring s(label.text);
        if (dc) {
            const SelectedObject selected(dc.get(), FontOf(i));
            if (DrawTextW(dc.get(), s.c_str(), static_cast<int>(s.size()), &text, kLabelFormat | DT_CALCRECT)) {
                const RECT reach = WithOverhangs(dc.get(), label.text, text);
                (void)UnionRect(&drawn, &box, &reach);  // both are non-empty
            } else {
                text = box;  // unmeasured: the label's own rectangle
            }
        }
        textAreas_.push_back(text);
        textAreasTwips_.push_back(ToTwips(FromRect(text), scaler_.Current()));
        drawnAreas_.push_back(drawn);
    }
    if (laidOut_)
        laidOut_();
}

SIZE FormPaintKit::ClientSize() const {
    const RECT client = Pixels({0, 0, layout_.client.width, layout_.client.height});
    return SIZE{client.right, client.bottom};
}

RECT FormPaintKit::Pixels(const RectTwips& rect) const {
    return ToRect(scaler_.Pixels(rect));
}

HGDIOBJ FormPaintKit::FontOf(size_t position) const {
    const ObjectHandle font = scaler_.Font(position);
    return font ? static_cast<HGDIOBJ>(AsFont(font)) : GetStockObject(DEFAULT_GUI_FONT);
}

void FormPaintKit::Paint(HDC dc, const std::function<LabelInk(const LabelSpec&)>& inkOf) const {
    const SIZE size = ClientSize();
    const RECT client{0, 0, size.cx, size.cy};
    if (background_)
        FillRect(dc, &client, background_.get());

    const int oldMode = SetBkMode(dc, TRANSPARENT);
    {
        const SelectedObject font(dc, GetStockObject(DEFAULT_GUI_FONT));  // puts the DC's own font back
        for (size_t i = 0; i < layout_.labels.size(); ++i) {
            const LabelSpec& label = layout_.labels[i];
            const LabelInk ink = inkOf(label);
            SetTextColor(dc, ink.buttonText ? GetSysColor(COLOR_BTNTEXT) : ToColorRef(ink.colour));
            SelectObject(dc, FontOf(i));
            RECT r = Pixels(label.rect);
            const std::wstring text(label.text);
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, kLabelFormat);
        }
    }
    SetBkMode(dc, oldMode);

    if (linePen_) {
        const SelectedObject pen(dc, linePen_.get());
        for (const LineSpec& line : layout_.lines) {
            const RECT ends = Pixels({line.x1, line.y1, line.x2 - line.x1, line.y2 - line.y1});
            MoveToEx(dc, ends.left, ends.top, nullptr);
            LineTo(dc, ends.right, ends.bottom);
            SetPixelV(dc, ends.right, ends.bottom, ToColorRef(layout_.lineColour));  // the end point belongs to it
        }
    }

    if (HICON icon = Icon()) {
        const RECT r = Pixels(layout_.icon);
        DrawIconEx(dc, r.left, r.top, icon, r.right - r.left, r.bottom - r.top, 0, nullptr, DI_NORMAL);
    }
}

}  // namespace vitrell
