# Text and small data files: options, version, and per language the game strings, quick chat,
# updater lines, chat word list and swing timing.
gamedata_copy(data/Option.ini Option.ini)

# "Version.ini" names the installed version, which the updater asks the server about: the project's.
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/Version.ini CONTENT "@PROJECT_VERSION@\n" @ONLY)
add_custom_command(OUTPUT ${gamedata}/Version.ini
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_BINARY_DIR}/Version.ini ${gamedata}/Version.ini
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/Version.ini
  COMMENT "Version.ini" VERBATIM)
gamedata_output(Version.ini)

foreach(language ENG KOR JPN)
  gamedata_text(gamestring ${language} text/${language}/GameString.txt Image/${language}/GameString.ini)
  gamedata_text(chat ${language} text/${language}/ChatMessage.txt Info/${language}/ChatMessage.ini)
  gamedata_text(atstring ${language} text/${language}/ATString.txt Info/${language}/ATString.ini)

  add_custom_command(OUTPUT ${gamedata}/Info/${language}/Abuse.fns
    COMMAND ${tool_env} $<TARGET_FILE:textdata> abuse ${src}/text/${language}/Abuse.txt
            ${gamedata}/Info/${language}/Abuse.fns
    DEPENDS textdata ${src}/text/${language}/Abuse.txt
    COMMENT "Word list Info/${language}/Abuse.fns" VERBATIM)
  gamedata_output(Info/${language}/Abuse.fns)

  add_custom_command(OUTPUT ${gamedata}/Info/${language}/GameInfo.ini
    COMMAND ${tool_env} $<TARGET_FILE:gameinfo> ${src}/data/swing_timing.json
            ${gamedata}/Info/${language}/GameInfo.ini
    DEPENDS gameinfo ${src}/data/swing_timing.json
    COMMENT "Swing timing Info/${language}/GameInfo.ini" VERBATIM)
  gamedata_output(Info/${language}/GameInfo.ini)
endforeach()
