# Pictures: common ground textures (named so that they start with neither "T", which marks
# numbered scenery, nor "B", which marks a hole's own picture), scenery, skies, loading screens and cursor frames. Ground
# textures are opaque; scenery pictures keep their transparent parts.
foreach(name Rough Fairway Green GroundTee Sand Water Path OutBounds)
  gamedata_picture(art/texture/${name}.svg Texture/${name}.fni --speed 6)
endforeach()
# Nature/T001-T005: trees and bushes; T010: boundary stake; T011: sign wood; T997/T998: the flag.
foreach(number 001 002 003 004 005 010 011 997 998)
  gamedata_picture(art/nature/T${number}.svg Nature/T${number}.fni --speed 6)
endforeach()
foreach(number 00 01 02 03)
  gamedata_picture(art/sky/Sky${number}.svg Sky/Sky${number}.fni --speed 8)
endforeach()
foreach(name Main_start Main_00 Main_01 Main_02)
  gamedata_picture(art/image/${name}.svg Image/${name}.fni --speed 8)
endforeach()
foreach(number 00 01 02)
  gamedata_picture(art/image/Mouse${number}.svg Image/Mouse${number}.fni --dither 0)
endforeach()
