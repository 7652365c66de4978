/* The FreeType modules of the browser build: the Windows FNT driver only. */
FT_USE_MODULE(FT_Driver_ClassRec, winfnt_driver_class)
