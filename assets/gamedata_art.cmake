# Pictures: common ground textures (named so that they start with neither "T", which marks
# numbered scenery, nor "B", which marks a hole's own picture), scenery, skies, loading screens and cursor frames. Ground
# textures are opaque; scenery pictures keep their transparent parts.
# Noise repeats seamlessly only once cross-faded; mown stripes repeat by themselves across. The
# links course has ground of its own.
foreach(name Rough Green GroundTee Sand Water Path OutBounds Fescue LinksGreen PotSand Dunes)
  gamedata_picture(art/texture/${name}.svg Texture/${name}.fni --speed 6 --tileable both)
endforeach()
foreach(name Fairway LinksFairway)
  gamedata_picture(art/texture/${name}.svg Texture/${name}.fni --speed 6 --tileable down)
endforeach()
# The same ground in a tree's shade.
gamedata_picture(art/texture/Rough.svg Texture/ShadeRough.fni --speed 6 --tileable both --shade 0.62)
gamedata_picture(art/texture/OutBounds.svg Texture/ShadeOut.fni --speed 6 --tileable both --shade 0.62)
gamedata_picture(art/texture/Fairway.svg Texture/ShadeFairway.fni --speed 6 --tileable down --shade 0.62)
# Nature/T001-T005: trees and bushes; T010: boundary stake; T011: sign wood; T997/T998: the flag.
# Pictures with transparent parts keep a transparent border, so that no wrapped row shows.
foreach(number 001 002 003 004 005 997 998)
  gamedata_picture(art/nature/T${number}.svg Nature/T${number}.fni --speed 6 --clear-border 1)
endforeach()
foreach(number 010 011)
  gamedata_picture(art/nature/T${number}.svg Nature/T${number}.fni --speed 6)
endforeach()
foreach(number 00 01 02 03)
  gamedata_picture(art/sky/Sky${number}.svg Sky/Sky${number}.fni --speed 8 --for-16bit 1)
endforeach()
# The window's icon, from the same drawing as the installed desktop icon.
find_program(RSVG_CONVERT_PROGRAM rsvg-convert REQUIRED)
add_custom_command(OUTPUT ${gamedata}/Image/Icon.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${gamedata}/Image
  COMMAND ${RSVG_CONVERT_PROGRAM} --width 64 --height 64 --output ${gamedata}/Image/Icon.png
          ${src}/art/icon/brightlea.svg
  DEPENDS ${src}/art/icon/brightlea.svg
  COMMENT "Window icon Image/Icon.png" VERBATIM)
gamedata_output(Image/Icon.png)

foreach(name Main_start Main_00 Main_01 Main_02)
  gamedata_picture(art/image/${name}.svg Image/${name}.fni --speed 8)
endforeach()
foreach(number 00 01 02)
  gamedata_picture(art/image/Mouse${number}.svg Image/Mouse${number}.fni --dither 0)
endforeach()

# The HUD's pictures, drawn by the sprite maker from the recipes and SVG pieces in art/hud: the
# control buttons, the shot button and its 121 gauge frames, wind, level badges, the club pop-up,
# markers, lie sheet, spin steps, impact animations, the beginner guides of every language and
# the scoreboard header.
set(hud_art_sources ${src}/art/hud/buttons.json ${src}/art/hud/guides.json)
file(GLOB hud_icons CONFIGURE_DEPENDS ${src}/art/hud/icons/*.svg)
set(hud_pictures
  BClose BGive BGiveOn BGolfOn BGolfOnU BGolfOf BGolfOfU BGridOn BGridOnU BGridOf BGridOfU
  BSpinFalse BSpinFalseOver BSpinTrue BSpinTrueOver BPow BPowOn BChat BChatD
  BAngleUp BAngleUpD BAngleDn BAngleDnD BCurveLeft BCurveLeftD BCurveRight BCurveRightD BClub BClubOn
  BShot BShotOn AWind NoWind ULevel ChampULevel BClubBk BClubM0 BClubM1 BClubM2
  PWait ABall PDivot OtBall MkBall MkFlag MkHole APoll SPoll GlaKind
  BeginerArrowBig0 BeginerArrowBig1 BeginerArrowSmall0 BeginerArrowSmall1
  ATee AMower AMowerS ASand ASandS AWater SHeader)
foreach(step 0 1 2 3 4)
  list(APPEND hud_pictures BAngleStep${step} BCurveStep${step})
endforeach()
foreach(club RANGE 13)
  string(LENGTH "${club}" digits)
  if(digits EQUAL 1)
    set(club "0${club}")
  endif()
  list(APPEND hud_pictures BClub_${club})
endforeach()
foreach(frame RANGE 120)
  string(LENGTH "${frame}" digits)
  if(digits EQUAL 1)
    set(frame "00${frame}")
  elseif(digits EQUAL 2)
    set(frame "0${frame}")
  endif()
  list(APPEND hud_pictures Shot/AShot${frame})
endforeach()
foreach(language ENG KOR JPN)
  foreach(guide 0 1 2)
    list(APPEND hud_pictures ${language}/BeginerGuide${guide})
  endforeach()
endforeach()
list(TRANSFORM hud_pictures PREPEND ${gamedata}/Image/ OUTPUT_VARIABLE hud_outputs)
list(TRANSFORM hud_outputs APPEND .fni)
add_custom_command(OUTPUT ${hud_outputs}
  COMMAND ${tool_env} $<TARGET_FILE:sprites> hud ${src}/art/hud ${gamedata}/Image
  DEPENDS sprites ${hud_art_sources} ${hud_icons}
  COMMENT "HUD pictures" VERBATIM)
set_property(GLOBAL APPEND PROPERTY brightlea_gamedata_outputs ${hud_outputs})

# The golfers, one command per gender so that the two can be drawn side by side: every character's
# five Small sprites and five swing sheets, their impact frames taken from the swing timing.
foreach(gender M W)
  set(golfer_outputs "")
  foreach(pose D I L S P)
    foreach(character RANGE 7)
      list(APPEND golfer_outputs ${gamedata}/Golfer/Small/${gender}${pose}0${character}.fni
                                 ${gamedata}/Golfer/${gender}${pose}0${character}.fni)
    endforeach()
  endforeach()
  add_custom_command(OUTPUT ${golfer_outputs}
    COMMAND ${tool_env} $<TARGET_FILE:sprites> golfers ${src}/art/golfer/characters.json
            ${src}/data/swing_timing.json ${gender} ${gamedata}/Golfer
    DEPENDS sprites ${src}/art/golfer/characters.json ${src}/data/swing_timing.json
    COMMENT "Golfers ${gender}" VERBATIM)
  set_property(GLOBAL APPEND PROPERTY brightlea_gamedata_outputs ${golfer_outputs})
endforeach()
