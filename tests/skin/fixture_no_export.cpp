// A loadable SkinH_EL.dll that lacks the export SkinH_AttachRes.
extern "C" __attribute__((visibility("default"))) int SkinH_AttachResource(const void*, int)
{
    return 0;
}
