// The accessible objects of the panes and the position bar. Each WM_GETOBJECT gets a
// new object that reads the document when asked, so nothing it says is ever stale; what
// only the window knows (its parent, place and focus) comes from the system's standard
// object for the same window.
#include "ui/win32/accessible_win32.h"

#include <oleacc.h>

#include <new>
#include <string>

#include "merge/document.h"
#include "ui/scrolling.h"
#include "ui/view/accessible_text.h"
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
        if (!is_pane()) {
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
        if (!is_pane() && alive()) {
            return standard_->get_accChild(child, out);
        }
        // The lines are simple elements of the pane, with no object of their own.
        return row_of(child) >= 0 ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        if (is_self(child)) {
            return text_result(is_pane() ? pane_name_text(side()) : "Position bar", out);
        }
        const int32_t row = row_of(child);
        return row < 0 ? E_INVALIDARG : text_result(describe_row_for_reader(side(), row).name, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        if (!is_self(child)) {
            return row_of(child) < 0 ? E_INVALIDARG : DISP_E_MEMBERNOTFOUND;
        }
        if (is_pane()) {
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
        return row < 0 ? E_INVALIDARG
                       : text_result(describe_row_for_reader(side(), row).description, out);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        if (is_self(child)) {
            return number_result(is_pane() ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_INDICATOR, out);
        }
        return row_of(child) < 0 ? E_INVALIDARG : number_result(ROLE_SYSTEM_LISTITEM, out);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        if (is_self(child)) {
            const HRESULT hr = standard_->get_accState(child, out);
            if (SUCCEEDED(hr) && out->vt == VT_I4) {
                out->lVal |= STATE_SYSTEM_READONLY | (is_pane() ? STATE_SYSTEM_FOCUSABLE : 0);
            }
            return hr;
        }
        const int32_t row = row_of(child);
        if (row < 0) {
            return E_INVALIDARG;
        }
        LONG state = STATE_SYSTEM_READONLY;
        if (describe_row_for_reader(side(), row).in_current_block) {
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
        POINT origin = {0, (row - merge_document.top_row) * view_metrics.line_height};
        ClientToScreen(window_, &origin);
        *left = origin.x;
        *top = origin.y;
        *width = client.right;
        *height = view_metrics.line_height;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* out) override {
        if (!is_pane() || out == nullptr || !alive()) {
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
        if (!is_pane() || out == nullptr || !alive()) {
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
    bool is_pane() const { return window_ == ui_state.left_pane || window_ == ui_state.right_pane; }
    Side side() const { return window_ == ui_state.left_pane ? SIDE_LEFT : SIDE_RIGHT; }
    bool is_self(const VARIANT& child) const {
        return alive() && child.vt == VT_I4 && child.lVal == CHILDID_SELF;
    }
    LONG line_count() const {
        return visible_row_count(side(), merge_document.top_row, view_metrics.page_rows);
    }
    // The aligned row of a child (a line of the pane, 1 for the top one), or -1.
    int32_t row_of(const VARIANT& child) const {
        if (!alive() || !is_pane() || child.vt != VT_I4 || child.lVal < 1 ||
            child.lVal > line_count()) {
            return -1;
        }
        return merge_document.top_row + child.lVal - 1;
    }

    bool in_block(const VARIANT& child) const {
        const int32_t row = row_of(child);
        if (row < 0) {
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
