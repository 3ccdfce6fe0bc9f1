#pragma once

namespace zr
{

// What the plug-in base needs from its editor: the editor's controls mirror parameter values.
// Called with the instance lock held, on the thread that changed the values; implementations
// only store the value and mark controls dirty (no drawing, no blocking).
class IEditorLink
{
public:
    virtual ~IEditorLink() = default;
    // Sets every control bound to the parameter to the value (a normalised position if normalized).
    virtual void PushParamToControls(int paramIndex, double value, bool normalized) = 0;
    // Creates the drawing surfaces; called once when the editor is attached (user-interface thread).
    virtual void PrepareDraw() = 0;
    // The host's editor requests (user-interface thread). OpenEditorWindow puts the editor window
    // inside the host's window parent; false when there is no window to open (an editor without a
    // window, as here).
    virtual bool OpenEditorWindow(void* parent)
    {
        static_cast<void>(parent);
        return false;
    }
    virtual void CloseEditorWindow() {}
    // Handles what the window system delivered and runs the redraw timer when it is due; called
    // without the instance lock.
    virtual void ServiceEditorWindow() {}
};

} // namespace zr
