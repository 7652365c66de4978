/* The FreeType modules of the builds that compile FreeType themselves: the Windows FNT driver only.
 */
FT_USE_MODULE(FT_Driver_ClassRec, winfnt_driver_class)
