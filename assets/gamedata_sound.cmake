# The sounds: every recipe in sound/ becomes "Sound/<name>.wav", synthesised by soundmaker, with a
# picture of its waveform in the previews folder for people to look at.
file(GLOB sound_recipes CONFIGURE_DEPENDS ${src}/sound/*.json)
foreach(recipe ${sound_recipes})
  get_filename_component(name ${recipe} NAME_WE)
  add_custom_command(OUTPUT ${gamedata}/Sound/${name}.wav ${CMAKE_BINARY_DIR}/previews/sound_${name}.png
    COMMAND ${tool_env} $<TARGET_FILE:soundmaker> ${recipe} ${gamedata}/Sound/${name}.wav
            --preview ${CMAKE_BINARY_DIR}/previews/sound_${name}.png
    DEPENDS soundmaker ${recipe}
    COMMENT "Sound ${name}.wav" VERBATIM)
  gamedata_output(Sound/${name}.wav)
endforeach()
