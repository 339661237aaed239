// A loadable library without a VST entry point.
extern "C" __attribute__((visibility("default"))) int NotAPluginAnswer() { return 42; }
