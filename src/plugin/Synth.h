#pragma once

#include "plugin/Configuration.h"
#include "platform/IHttpFetcher.h"
#include "plugin/IPlugVST.h"
#include "plugin/RecordingMessageBox.h"
#include "plugin/UpdateSite.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace zr
{

class IGraphics;
class ILearnSwitch;

// What every instrument of this design shares between the VST2 adapter and the instrument: the
// per-user configuration (startup bank, program files path, MIDI thru and program-change switches,
// the MIDI controller map), MIDI learn, the startup and factory banks and the program operations of
// the editor's menus (copy, paste, initialise, select).
//
// Threads and locking: the program operations and the learn step run under the instance lock
// (taken here). The configuration operations run on the editor's thread without the instance lock
// (the audio thread only touches the configuration's atomic switches and controller map), so no
// question on screen and no file access ever holds up an audio block.
class Synth : public IPlugVST
{
public:
    // The editor panel: width, height and redraw rate.
    static constexpr int kEditorWidth = 1480;
    static constexpr int kEditorHeight = 660;
    static constexpr int kEditorFps = 25;

    // MIDI controllers 0 .. kNumControllers - 1 can drive a parameter.
    static constexpr int kNumControllers = Configuration::kControllerCount;
    static constexpr int kNone = -1;

    static constexpr std::string_view kPasteQuestion = "Do you really want to overwrite the current program?";
    static constexpr std::string_view kPasteTitle = "Paste Program";
    static constexpr std::string_view kInitQuestion = "Do you really want to initialize the current program?";
    static constexpr std::string_view kInitTitle = "Initialize Program";
    static constexpr std::string_view kInitProgramName = "Init";

    // The configuration is located and read here (INI file created when missing); its messages go
    // to the message box set with SetMessageBox, until then to a recorder that answers Yes.
    Synth(vst::AudioMasterCallback hostCallback, int nParams, std::string_view channelIOText, int nPresets,
          std::string_view effectName, std::string_view productName, std::string_view vendorName,
          int32_t version, int32_t uniqueId, int latency, bool doesMidi, bool doesStateChunks,
          bool isInstrument);

    ~Synth() override;

    // Takes the lock; disarms MIDI learn. The instrument adds the engine's set-up (dispatcher thread).
    void SetUp() override;
    // Takes the lock; while learn is armed the parameter becomes the learned parameter (thread of
    // the change).
    void ParamChanged(int index) override;
    // Takes the lock; switching on re-applies every parameter (dispatcher or audio thread).
    void SetActive(bool active) override;
    // Releases every sounding note (audio or dispatcher thread, lock held); nothing here.
    virtual void AllNotesOff() {}
    // Loads the startup bank; when that fails, forgets it for this instance (the INI file keeps it)
    // and loads the factory bank, without a message. True when either loaded (construction thread or
    // editor thread; takes the lock while programs change).
    virtual bool LoadStartupBank();
    // Gives every parameter its default and names the current program "Init"; the host and the
    // editor follow (editor thread; takes the lock).
    virtual void InitProgram();

    // ---- Editor ---------------------------------------------------------------------------------
    // Attaches the editor's controls to the graphics object (construction); nothing here.
    virtual void BuildPanel(IGraphics& graphics) { static_cast<void>(graphics); }
    // The editor object, which lives as long as the instance.
    IGraphics& GetGraphics() const { return *mGraphics; }

    // ---- Message box ----------------------------------------------------------------------------
    // Where questions and failures go; nullptr returns to the headless recorder (editor thread, while
    // no menu command runs). The box must outlive its use here.
    void SetMessageBox(IMessageBox* messages);
    // The recorder that answers while no message box is set; tests read it.
    RecordingMessageBox& HeadlessMessages() { return mHeadlessMessages; }

    // ---- Configuration (editor thread) ---------------------------------------------------------
    Configuration& GetConfiguration() { return mConfiguration; }
    const Configuration& GetConfiguration() const { return mConfiguration; }
    // Re-reads the INI file; fromMenu: a missing file is reported.
    void ReadConfiguration(bool fromMenu) { mConfiguration.ReadConfiguration(fromMenu); }
    bool SaveConfiguration(Configuration::Save what) { return mConfiguration.SaveConfiguration(what); }
    void SetStartupBank(std::string_view path) { mConfiguration.SetStartupBank(path); }
    void ClearStartupBank() { mConfiguration.ClearStartupBank(); }
    void SetProgramFilesPath(std::string_view folder) { mConfiguration.SetProgramFilesPath(folder); }
    // "Load Startup Bank": asks first, reports a failure.
    bool ReloadStartupBankFromMenu();

    // ---- MIDI switches (any thread) --------------------------------------------------------------
    bool MidiThru() const { return mConfiguration.MidiThru(); }
    void SetMidiThru(bool on) { mConfiguration.SetMidiThru(on); }
    bool IgnoresProgramChange() const { return mConfiguration.IgnoreProgramChange(); }
    void SetIgnoreProgramChange(bool on) { mConfiguration.SetIgnoreProgramChange(on); }

    // ---- Controller map (any thread) -------------------------------------------------------------
    // The parameter index mapped to controller, or kNone (also for controllers out of range).
    int MappedParameter(int controller) const { return mConfiguration.ControllerParameter(controller); }
    // Maps controller to parameter (kNone removes the mapping); controllers out of range do nothing.
    void MapController(int controller, int parameter)
    {
        mConfiguration.SetControllerParameter(controller, parameter);
    }

    // ---- MIDI learn (takes the lock) -----------------------------------------------------------
    // The editor's learn button, told when learning ends by itself; nullptr for none.
    void SetLearnSwitch(ILearnSwitch* learnSwitch);
    // Arms learning; in unlearn mode the next controller or parameter loses its assignment.
    void ArmLearn(bool unlearn);
    void DisarmLearn();
    bool LearnArmed() const { return mLearnArmed; }
    bool UnlearnMode() const { return mUnlearnMode; }
    // A control change 0 .. 119 received while armed (audio thread, lock held).
    void LearnController(int controller);

    // ---- Program operations of the editor's menus (editor thread; take the lock) --------------
    // Stores the current state in its slot and copies it to the clipboard.
    void CopyProgram();
    // Writes the clipboard into the current program under the copied slot's present name; false
    // (and nothing changes) when the clipboard is empty.
    bool PasteProgram();
    // Selects program index after storing the current state; the host re-reads everything.
    void SelectProgramFromEditor(int index);
    // The panel's previous and next buttons: wrap from the first to the last program and back.
    void SelectPreviousProgram();
    void SelectNextProgram();
    // The menu commands: ask first, go on unless the answer is No.
    bool PasteProgramFromMenu();
    bool InitProgramFromMenu();

    int CopiedProgramIndex() const { return mCopiedProgram; }

    // ---- Update check (editor thread) -----------------------------------------------------------
    // "Check Online for Update" with the editor's dialogs; the result of UpdateCheck::Run.
    int CheckOnlineForUpdate(IGraphics& graphics);
    // The update server and web site: at first the build's, asked through the platform's HTTP.
    const UpdateSite& GetUpdateSite() const { return updateSite_; }
    void SetUpdateSource(const UpdateSite& site, std::unique_ptr<IHttpFetcher> fetcher);

protected:
    // Builds the panel, then attaches the editor (its controls take every value, its surfaces are
    // made) and gives the host the editor's size (construction, after the parameters exist).
    void BuildAndAttachEditor();

private:
    // Forwards to the message box in use, so that the configuration keeps one reference for life.
    class MessageRouter : public IMessageBox
    {
    public:
        explicit MessageRouter(IMessageBox& target) : mTarget(&target) {}
        MessageBoxAnswer Show(std::string_view text, std::string_view title,
                              MessageBoxButtons buttons) override
        {
            return mTarget->Show(text, title, buttons);
        }
        void SetTarget(IMessageBox& target) { mTarget = &target; }

    private:
        IMessageBox* mTarget;
    };

    // Makes or removes an assignment once enough is known, then disarms and turns the switch off.
    void LearnStep();
    // True unless the question is answered No.
    bool AskUnlessNo(std::string_view question, std::string_view title);

    // Made with the instance; owned here until it is attached, then by the plug-in base.
    std::unique_ptr<IGraphics> mPendingGraphics;
    IGraphics* mGraphics;
    RecordingMessageBox mHeadlessMessages;
    MessageRouter mMessages{mHeadlessMessages};
    Configuration mConfiguration{mMessages};
    ILearnSwitch* mLearnSwitch = nullptr;
    ChunkBuffer mClipboard;
    int mCopiedProgram = kNone;
    bool mLearnArmed = false;
    bool mUnlearnMode = false;
    UpdateSite updateSite_;
    std::unique_ptr<IHttpFetcher> updateFetcher_;
    int mLearnedController = kNone;
    int mLearnedParameter = kNone;
};

} // namespace zr
