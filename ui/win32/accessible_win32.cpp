// The accessible objects of the panes, the merged result and the position bar. Each WM_GETOBJECT
// gets a new object that reads the document when asked, so nothing it says is ever stale; what only
// the window knows (its parent, place and focus) comes from the system's standard object for the
// same window.
#include "ui/win32/accessible_win32.h"

#include <oleacc.h>

#include <algorithm>
#include <new>
#include <string>

#include "merge/document.h"
#include "ui/merged_view.h"
#include "ui/scrolling.h"
#include "ui/view/accessible_text.h"
#include "ui/win32/merged_pane.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"

namespace {

// Spelled out: mingw-w64's import library gives IID_IAccessible as code, not the GUID.
constexpr IID ACCESSIBLE_IID = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

HRESULT text_result(const std::string& text, BSTR* out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    const std::wstring units = wide(text);
    *out = SysAllocStringLen(units.c_str(), static_cast<UINT>(units.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT number_result(LONG value, VARIANT* out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

// The windows with an object of their own. Those with rows (all but the position bar)
// are lists whose children are their visible rows.
enum ViewKind { VIEW_LEFT_PANE, VIEW_RIGHT_PANE, VIEW_MERGED, VIEW_POSITION_BAR };

ViewKind kind_of(HWND window) {
    if (window == ui_state.left_pane) {
        return VIEW_LEFT_PANE;
    }
    if (window == ui_state.right_pane) {
        return VIEW_RIGHT_PANE;
    }
    return window == merged_view_window() ? VIEW_MERGED : VIEW_POSITION_BAR;
}

class ViewAccessible final : public IAccessible {
public:
    ViewAccessible(HWND window, IAccessible* standard) : window_(window), standard_(standard) {}
    ViewAccessible(const ViewAccessible&) = delete;
    ViewAccessible& operator=(const ViewAccessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, ACCESSIBLE_IID)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch: clients of IAccessible call the methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count != nullptr) {
            *count = 0;
        }
        return count != nullptr ? S_OK : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return alive() ? standard_->get_accParent(parent) : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (!alive() || count == nullptr) {
            return count == nullptr ? E_POINTER : E_FAIL;
        }
        if (!has_rows()) {
            return standard_->get_accChildCount(count);
        }
        *count = line_count();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = nullptr;
        if (!has_rows() && alive()) {
            return standard_->get_accChild(child, out);
        }
        // The lines are simple elements of the pane, with no object of their own.
        return row_of(child) >= 0 ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        if (is_self(child)) {
            return text_result(name(), out);
        }
        const int32_t row = row_of(child);
        return row < 0 ? E_INVALIDARG : text_result(describe(row).name, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        if (!is_self(child)) {
            return row_of(child) < 0 ? E_INVALIDARG : DISP_E_MEMBERNOTFOUND;
        }
        if (has_rows()) {
            return text_result(pane_value_text(), out);
        }
        return text_result(visible_rows_text(merge_document.top_row, view_metrics.page_rows,
                                             merge_document.total_rows),
                           out);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        if (is_self(child)) {
            return standard_->get_accDescription(child, out);
        }
        const int32_t row = row_of(child);
        return row < 0 ? E_INVALIDARG : text_result(describe(row).description, out);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        if (is_self(child)) {
            return number_result(has_rows() ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_INDICATOR, out);
        }
        return row_of(child) < 0 ? E_INVALIDARG : number_result(ROLE_SYSTEM_LISTITEM, out);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        if (is_self(child)) {
            const HRESULT hr = standard_->get_accState(child, out);
            if (SUCCEEDED(hr) && out->vt == VT_I4) {
                out->lVal |= STATE_SYSTEM_READONLY | (has_rows() ? STATE_SYSTEM_FOCUSABLE : 0);
            }
            return hr;
        }
        const int32_t row = row_of(child);
        if (row < 0) {
            return E_INVALIDARG;
        }
        LONG state = STATE_SYSTEM_READONLY;
        if (describe(row).in_current_block) {
            state |= STATE_SYSTEM_SELECTED;
        }
        return number_result(state, out);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
        return is_self(child) ? standard_->get_accHelp(child, out) : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return is_self(child) ? standard_->get_accHelpTopic(file, child, topic)
                              : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        return is_self(child) ? standard_->get_accKeyboardShortcut(child, out)
                              : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        return alive() ? standard_->get_accFocus(out) : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        return alive() ? standard_->get_accSelection(out) : E_FAIL;
    }
    // A row of a block chooses its side for the block, as a click on it does.
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        if (is_self(child)) {
            return standard_->get_accDefaultAction(child, out);
        }
        return in_block(child) ? text_result("Choose", out) : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return is_self(child) ? standard_->accSelect(flags, child) : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        if (is_self(child)) {
            return standard_->accLocation(left, top, width, height, child);
        }
        const int32_t row = row_of(child);
        if (row < 0 || left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
            return E_INVALIDARG;
        }
        RECT client;
        GetClientRect(window_, &client);
        POINT origin = {0, (row - top_row()) * view_metrics.line_height};
        ClientToScreen(window_, &origin);
        *left = origin.x;
        *top = origin.y;
        *width = client.right;
        *height = view_metrics.line_height;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* out) override {
        if (!has_rows() || out == nullptr || !alive()) {
            return alive() ? standard_->accNavigate(direction, start, out) : E_FAIL;
        }
        const LONG count = line_count();
        LONG to = 0;
        if (is_self(start)) {
            if (direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD) {
                return standard_->accNavigate(direction, start, out);
            }
            to = direction == NAVDIR_FIRSTCHILD ? 1 : count;
        } else if (row_of(start) < 0) {
            return E_INVALIDARG;
        } else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) {
            to = start.lVal + 1;
        } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) {
            to = start.lVal - 1;
        }
        if (to < 1 || to > count) {
            VariantInit(out);
            return S_FALSE;
        }
        return number_result(to, out);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* out) override {
        if (!has_rows() || out == nullptr || !alive()) {
            return alive() ? standard_->accHitTest(x, y, out) : E_FAIL;
        }
        const HRESULT hr = standard_->accHitTest(x, y, out);
        if (hr != S_OK || out->vt != VT_I4 || out->lVal != CHILDID_SELF) {
            return hr;
        }
        POINT p = {x, y};
        ScreenToClient(window_, &p);
        const LONG line = view_metrics.line_height > 0 ? p.y / view_metrics.line_height : 0;
        return line < line_count() ? number_result(line + 1, out) : S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (is_self(child)) {
            return standard_->accDoDefaultAction(child);
        }
        if (!in_block(child)) {
            return DISP_E_MEMBERNOTFOUND;
        }
        const int y = (child.lVal - 1) * view_metrics.line_height;
        SendMessageW(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, y));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~ViewAccessible() { standard_->Release(); }

    // A client may hold the object past the window's end; the document is gone then.
    bool alive() const { return IsWindow(window_) != FALSE; }
    ViewKind kind() const { return kind_of(window_); }
    bool has_rows() const { return kind() != VIEW_POSITION_BAR; }
    Side side() const { return kind() == VIEW_LEFT_PANE ? SIDE_LEFT : SIDE_RIGHT; }
    std::string name() const {
        switch (kind()) {
            case VIEW_LEFT_PANE:
            case VIEW_RIGHT_PANE:
                return pane_name_text(side());
            case VIEW_MERGED:
                return MERGED_VIEW_NAME;
            case VIEW_POSITION_BAR:
                break;
        }
        return "Position bar";
    }
    // The row shown at the window's top: the merged view has rows of its own.
    int32_t top_row() const {
        return kind() == VIEW_MERGED
                   ? merged_view_top(current_merged_rows(), merge_document.top_row)
                   : merge_document.top_row;
    }
    RowAccessible describe(int32_t row) const {
        return kind() == VIEW_MERGED ? describe_merged_row_for_reader(current_merged_rows(), row)
                                     : describe_row_for_reader(side(), row);
    }
    bool is_self(const VARIANT& child) const {
        return alive() && child.vt == VT_I4 && child.lVal == CHILDID_SELF;
    }
    LONG line_count() const {
        if (kind() != VIEW_MERGED) {
            return visible_row_count(side(), merge_document.top_row, view_metrics.page_rows);
        }
        RECT client;
        GetClientRect(window_, &client);
        const int32_t page =
            view_metrics.line_height > 0 ? client.bottom / view_metrics.line_height : 0;
        return std::clamp(current_merged_rows().row_count - top_row(), 0, page);
    }
    // The row of a child (a line of the window, 1 for the top one), or -1: an aligned
    // row of a pane, a row of the merged result.
    int32_t row_of(const VARIANT& child) const {
        if (!alive() || !has_rows() || child.vt != VT_I4 || child.lVal < 1 ||
            child.lVal > line_count()) {
            return -1;
        }
        return top_row() + child.lVal - 1;
    }

    // A pane's row of a block (the merged result's rows choose nothing).
    bool in_block(const VARIANT& child) const {
        const int32_t row = row_of(child);
        if (row < 0 || kind() == VIEW_MERGED) {
            return false;
        }
        const RowState state = describe_row_for_reader(side(), row).state;
        return state != ROW_COMMON && state != ROW_PAST_END;
    }

    LONG references_ = 1;
    HWND window_;
    IAccessible* standard_;
};

}  // namespace

bool answer_get_object(HWND window, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    if (static_cast<LONG>(lparam) != OBJID_CLIENT) {
        return false;
    }
    // Handing an object out needs COM on this thread; it stays until the process ends.
    static const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    (void)com;
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, ACCESSIBLE_IID,
                                         reinterpret_cast<void**>(&standard))) ||
        standard == nullptr) {
        return false;
    }
    auto* object = new (std::nothrow) ViewAccessible(window, standard);
    if (object == nullptr) {
        standard->Release();
        return false;
    }
    result = LresultFromObject(ACCESSIBLE_IID, wparam, object);
    object->Release();
    return true;
}
