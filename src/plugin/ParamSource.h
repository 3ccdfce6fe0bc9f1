#pragma once

namespace zr
{

// Who changed a parameter. It decides only who is told of the change: every source stores,
// sanitises and applies the same way (IPlugBase::ChangeParam).
enum class ParamSource
{
    Host,       // the host's automation or a value typed in the host: the editor is told
    Editor,     // a control or a command of the editor: the host is told
    Controller, // a MIDI controller mapped to the parameter: the host and the editor are told
    Program     // a program or bank load: the editor is told
};

// True if the host is told of a change from source (an automation record).
constexpr bool TellsHost(ParamSource source)
{
    return source == ParamSource::Editor || source == ParamSource::Controller;
}

// True if the editor is told of a change from source (its controls show the new value).
constexpr bool TellsEditor(ParamSource source)
{
    return source != ParamSource::Editor;
}

} // namespace zr
