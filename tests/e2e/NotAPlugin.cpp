// A shared object that is not a VST2 plug-in: it exports neither entry name.
extern "C" __attribute__((visibility("default"))) int zr_not_a_plugin_answer()
{
    return 42;
}
