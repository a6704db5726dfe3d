// A skin loaded and its controls' kinds, indexes, names and rectangles written
// out, compared with the expected file beside this test.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/skinui/SkinUiFixture.h"

namespace {

using namespace skinuitest;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string RectText(const RECT& r) {
    std::ostringstream out;
    out << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    return out.str();
}

template <class T>
void Line(std::ostringstream& out, const char* kind, const T& control) {
    out << kind << " " << control.id.index << " " << Narrow(control.Name()) << " "
        << RectText(RectInParent(control.hwnd()));
}

std::string Describe(const RecordingDialog& dlg) {
    std::ostringstream out;
    for (const auto& b : dlg.Buttons()) {
        Line(out, "button", *b);
        if (b->IsToggle()) out << " toggle";
        if (b->HasShape()) out << " shaped";
        if (!b->GetWindowText().empty()) out << " caption=" << Narrow(b->GetWindowText());
        out << "\n";
    }
    for (const auto& s : dlg.Sliders()) {
        Line(out, "slider", *s);
        out << " pos=" << s->GetPos() << "\n";
    }
    for (const auto& l : dlg.Labels()) {
        Line(out, "label", *l);
        out << " text=" << Narrow(l->GetText()) << "\n";
    }
    for (const auto& p : dlg.ProgressBars()) {
        Line(out, "progress", *p);
        out << (p->IsHorizontal() ? " horizontal" : " vertical") << "\n";
    }
    for (const auto& e : dlg.Edits()) {
        Line(out, "edit", *e);
        out << "\n";
    }
    for (const auto& l : dlg.ListBoxes()) {
        Line(out, "listbox", *l);
        out << "\n";
    }
    for (const auto& c : dlg.ComboBoxes()) {
        Line(out, "combo", *c);
        out << " items=" << c->GetCount() << (c->IsEditable() ? " editable" : "") << "\n";
    }
    for (const auto& t : dlg.StaticTexts()) out << "text " << Narrow(t->text) << " " << RectText(t->rect) << "\n";
    return out.str();
}

TEST(SkinGolden, TheFrameWindowsControlsMatchTheExpectedList) {
    testsupport::ScratchFolder scratch(L"golden");
    nsSkin::ScopedHistoryPath redirect(scratch.path() + L"HistroyRecord.bin");
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG", false));
    std::string expected =
        testsupport::ReadFileBytes(testsupport::SourceDirectory() + L"tests\\skinui\\FRAMEDLG.golden.txt");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(expected, Describe(dlg));
}

}  // namespace
