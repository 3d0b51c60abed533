# Each subsystem folder holds its logic files and its dialog files side by
# side. Logic goes into a library without Qt Widgets (so the headless command
# line and most tests link no widgets); dialogs -- files whose name ends in
# "Dlg" or "Gui" -- go into a second library on top of it.
function(tidewell_split_sources folder logic_var gui_var)
    file(GLOB all CONFIGURE_DEPENDS
         ${folder}/*.cpp ${folder}/*.h)
    set(logic "")
    set(gui "")
    foreach(f IN LISTS all)
        get_filename_component(stem ${f} NAME_WE)
        if(stem MATCHES "(Dlg|Gui)$")
            list(APPEND gui ${f})
        else()
            list(APPEND logic ${f})
        endif()
    endforeach()
    set(${logic_var} ${logic} PARENT_SCOPE)
    set(${gui_var} ${gui} PARENT_SCOPE)
endfunction()
