// The recorded device calls as fixed-function OpenGL. The device follows Direct3D 7: row-vector
// matrices (their memory layout is OpenGL's column-major one), clip depth 0..w, pixel centres on
// whole coordinates and rows from the top; OpenGL takes clip depth -w..w, pixel centres at halves
// and rows from the bottom. A matrix in front of the projection moves depth and the half pixel, and
// OSMesa is told to store rows from the top. Lights are placed in world space with the view matrix
// current. Directional lights are exact; point and spot lights have no range in OpenGL.

#define GL_GLEXT_PROTOTYPES 1
#include "bench/compare/gl_replay.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/osmesa.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace compare {

using platform::RecordedCall;
using platform::RecordedKind;
using platform::RecordedState;

struct GlReplayer::Uploaded {
    std::vector<GLuint> textures;       // per recorded texture
    std::vector<GLuint> vertexBuffers;  // per call (0 for calls that do not draw)
    std::vector<GLuint> indexBuffers;   // per call
    std::vector<GLsizei> indexCounts;   // per call: indices of whole, valid triangles
};

namespace {

GLenum CompareFunc(uint32_t f) {
    static constexpr GLenum kFuncs[] = {GL_NEVER,   GL_NEVER,    GL_LESS,   GL_EQUAL, GL_LEQUAL,
                                        GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
    return f < std::size(kFuncs) ? kFuncs[f] : GL_ALWAYS;
}

GLenum BlendFactor(uint32_t f) {
    switch (f) {
        case platform::kBlendZero:
            return GL_ZERO;
        case platform::kBlendSrcColor:
            return GL_SRC_COLOR;
        case platform::kBlendInvSrcColor:
            return GL_ONE_MINUS_SRC_COLOR;
        case platform::kBlendSrcAlpha:
            return GL_SRC_ALPHA;
        case platform::kBlendInvSrcAlpha:
            return GL_ONE_MINUS_SRC_ALPHA;
        case platform::kBlendDestColor:
            return GL_DST_COLOR;
        case platform::kBlendInvDestColor:
            return GL_ONE_MINUS_DST_COLOR;
        case platform::kBlendInvDestAlpha:  // the target has no alpha: destination alpha is 1
            return GL_ZERO;
        default:
            return GL_ONE;
    }
}

// The source one combiner of stage 0 reads: the texture, the diffuse colour or their product.
void SetCombiner(uint32_t op, uint32_t arg1, uint32_t arg2, GLenum combine, GLenum source0, GLenum source1) {
    const auto source = [](uint32_t arg) {
        return (arg & 0xF) == platform::kTaTexture ? GL_TEXTURE : GL_PRIMARY_COLOR;
    };
    switch (op) {
        case platform::kTopSelectArg1:
            glTexEnvi(GL_TEXTURE_ENV, combine, GL_REPLACE);
            glTexEnvi(GL_TEXTURE_ENV, source0, source(arg1));
            break;
        case platform::kTopSelectArg2:
            glTexEnvi(GL_TEXTURE_ENV, combine, GL_REPLACE);
            glTexEnvi(GL_TEXTURE_ENV, source0, source(arg2));
            break;
        case platform::kTopModulate:
            glTexEnvi(GL_TEXTURE_ENV, combine, GL_MODULATE);
            glTexEnvi(GL_TEXTURE_ENV, source0, source(arg1));
            glTexEnvi(GL_TEXTURE_ENV, source1, source(arg2));
            break;
        default:
            glTexEnvi(GL_TEXTURE_ENV, combine, GL_REPLACE);
            glTexEnvi(GL_TEXTURE_ENV, source0, GL_PRIMARY_COLOR);
            break;
    }
}

void SetColor(GLenum name, const platform::ColorValue& c) {
    const GLfloat v[4] = {c.r, c.g, c.b, c.a};
    glMaterialfv(GL_FRONT_AND_BACK, name, v);
}

void SetLights(const RecordedState& s) {
    const uint32_t* rs = s.renderStates;
    if (rs[platform::kRsLighting] == 0) {
        glDisable(GL_LIGHTING);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        return;
    }
    glEnable(GL_LIGHTING);
    const bool specular = rs[platform::kRsSpecularEnable] != 0;
    SetColor(GL_DIFFUSE, s.material.diffuse);
    SetColor(GL_AMBIENT, s.material.ambient);
    SetColor(GL_EMISSION, s.material.emissive);
    SetColor(GL_SPECULAR, specular ? s.material.specular : platform::ColorValue{});
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::clamp(s.material.power, 0.0f, 128.0f));
    const uint32_t ambient = rs[platform::kRsAmbient];
    const GLfloat global[4] = {static_cast<float>((ambient >> 16) & 0xFF) / 255.0f,
                               static_cast<float>((ambient >> 8) & 0xFF) / 255.0f,
                               static_cast<float>(ambient & 0xFF) / 255.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, global);
    GLint maxLights = 8;
    glGetIntegerv(GL_MAX_LIGHTS, &maxLights);
    for (GLint i = 0; i < maxLights; ++i) {
        const GLenum light = GL_LIGHT0 + static_cast<GLenum>(i);
        if (static_cast<size_t>(i) >= s.lights.size()) {
            glDisable(light);
            continue;
        }
        const platform::DeviceLight& l = s.lights[static_cast<size_t>(i)];
        glEnable(light);
        const GLfloat diffuse[4] = {l.diffuse.r, l.diffuse.g, l.diffuse.b, l.diffuse.a};
        const GLfloat lightAmbient[4] = {l.ambient.r, l.ambient.g, l.ambient.b, l.ambient.a};
        const GLfloat lightSpecular[4] = {l.specular.r, l.specular.g, l.specular.b, l.specular.a};
        glLightfv(light, GL_DIFFUSE, diffuse);
        glLightfv(light, GL_AMBIENT, lightAmbient);
        glLightfv(light, GL_SPECULAR, lightSpecular);
        if (l.type == platform::kLightDirectional) {
            const GLfloat towards[4] = {-l.direction.x, -l.direction.y, -l.direction.z, 0.0f};
            glLightfv(light, GL_POSITION, towards);
            glLightf(light, GL_SPOT_CUTOFF, 180.0f);
            continue;
        }
        const GLfloat position[4] = {l.position.x, l.position.y, l.position.z, 1.0f};
        glLightfv(light, GL_POSITION, position);
        glLightf(light, GL_CONSTANT_ATTENUATION, l.attenuation0);
        glLightf(light, GL_LINEAR_ATTENUATION, l.attenuation1);
        glLightf(light, GL_QUADRATIC_ATTENUATION, l.attenuation2);
        if (l.type == platform::kLightSpot) {
            const GLfloat axis[3] = {l.direction.x, l.direction.y, l.direction.z};
            glLightfv(light, GL_SPOT_DIRECTION, axis);
            glLightf(light, GL_SPOT_CUTOFF, std::clamp(l.phi * 0.5f * 57.29578f, 0.0f, 90.0f));
            glLightf(light, GL_SPOT_EXPONENT, std::clamp(l.falloff, 0.0f, 128.0f));
        } else {
            glLightf(light, GL_SPOT_CUTOFF, 180.0f);
        }
    }
}

void SetFog(const RecordedState& s) {
    const uint32_t* rs = s.renderStates;
    if (rs[platform::kRsFogEnable] == 0) {
        glDisable(GL_FOG);
        return;
    }
    glEnable(GL_FOG);
    const uint32_t mode = rs[platform::kRsFogTableMode] != platform::kFogNone
                              ? rs[platform::kRsFogTableMode]
                              : rs[platform::kRsFogVertexMode];
    glFogi(GL_FOG_MODE,
           mode == platform::kFogExp ? GL_EXP : (mode == platform::kFogExp2 ? GL_EXP2 : GL_LINEAR));
    float start, end, density;
    std::memcpy(&start, &rs[platform::kRsFogStart], 4);
    std::memcpy(&end, &rs[platform::kRsFogEnd], 4);
    std::memcpy(&density, &rs[platform::kRsFogDensity], 4);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
    glFogf(GL_FOG_DENSITY, density);
    const uint32_t c = rs[platform::kRsFogColor];
    const GLfloat color[4] = {static_cast<float>((c >> 16) & 0xFF) / 255.0f,
                              static_cast<float>((c >> 8) & 0xFF) / 255.0f,
                              static_cast<float>(c & 0xFF) / 255.0f, 1.0f};
    glFogfv(GL_FOG_COLOR, color);
}

void SetPixelStates(const RecordedState& s, GLuint texture) {
    const uint32_t* rs = s.renderStates;
    const uint32_t* ts = s.stageStates;
    if (rs[platform::kRsZEnable] != 0) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(CompareFunc(rs[platform::kRsZFunc]));
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDepthMask(rs[platform::kRsZWriteEnable] != 0 ? GL_TRUE : GL_FALSE);
    if (rs[platform::kRsAlphaTestEnable] != 0) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(CompareFunc(rs[platform::kRsAlphaFunc]),
                    static_cast<float>(rs[platform::kRsAlphaRef] & 0xFF) / 255.0f);
    } else {
        glDisable(GL_ALPHA_TEST);
    }
    if (rs[platform::kRsAlphaBlendEnable] != 0) {
        glEnable(GL_BLEND);
        glBlendFunc(BlendFactor(rs[platform::kRsSrcBlend]), BlendFactor(rs[platform::kRsDestBlend]));
    } else {
        glDisable(GL_BLEND);
    }
    const uint32_t cull = rs[platform::kRsCullMode];
    if (cull == platform::kCullNone) {
        glDisable(GL_CULL_FACE);
    } else {
        // Clockwise as seen is the front; the device's default culls counter-clockwise triangles.
        glEnable(GL_CULL_FACE);
        glCullFace(cull == platform::kCullCcw ? GL_BACK : GL_FRONT);
    }
    glShadeModel(rs[platform::kRsShadeMode] == platform::kShadeFlat ? GL_FLAT : GL_SMOOTH);
    if (rs[platform::kRsDitherEnable] != 0) {
        glEnable(GL_DITHER);
    } else {
        glDisable(GL_DITHER);
    }
    glEnable(GL_NORMALIZE);
    if (rs[platform::kRsNormalizeNormals] == 0) {
        glDisable(GL_NORMALIZE);
    }
    if (texture == 0) {
        glDisable(GL_TEXTURE_2D);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    const auto filter = [](uint32_t f) { return f == platform::kFilterLinear ? GL_LINEAR : GL_NEAREST; };
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter(ts[platform::kTssMinFilter]));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter(ts[platform::kTssMagFilter]));
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    SetCombiner(ts[platform::kTssColorOp], ts[platform::kTssColorArg1], ts[platform::kTssColorArg2],
                GL_COMBINE_RGB, GL_SOURCE0_RGB, GL_SOURCE1_RGB);
    SetCombiner(ts[platform::kTssAlphaOp], ts[platform::kTssAlphaArg1], ts[platform::kTssAlphaArg2],
                GL_COMBINE_ALPHA, GL_SOURCE0_ALPHA, GL_SOURCE1_ALPHA);
}

void SetViewport(const platform::DeviceViewport& vp, int height) {
    const int bottom = height - vp.y - vp.height;
    glViewport(vp.x, bottom, vp.width, vp.height);
    glScissor(vp.x, bottom, vp.width, vp.height);
    glDepthRange(vp.minZ, vp.maxZ);
}

void SetTransforms(const RecordedState& s) {
    const platform::DeviceViewport& vp = s.viewport;
    // Clip x and y moved by half a pixel (to the right and down as seen), depth from 0..w to -w..w.
    const float toGl[16] = {1,
                            0,
                            0,
                            0,
                            0,
                            1,
                            0,
                            0,
                            0,
                            0,
                            2,
                            0,
                            1.0f / static_cast<float>(vp.width),
                            -1.0f / static_cast<float>(vp.height),
                            -1,
                            1};
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(toGl);
    glMultMatrixf(&s.projection.m[0][0]);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(&s.view.m[0][0]);
    SetLights(s);
    glMultMatrixf(&s.world.m[0][0]);
}

void ClearRects(const RecordedCall& call, int height) {
    const platform::DeviceViewport& vp = call.viewport;
    const platform::SurfaceRect whole{vp.x, vp.y, vp.x + vp.width, vp.y + vp.height};
    const std::vector<platform::SurfaceRect> rects =
        call.rects.empty() ? std::vector<platform::SurfaceRect>{whole} : call.rects;
    GLbitfield mask = 0;
    if ((call.flags & platform::kClearTarget) != 0) {
        mask |= GL_COLOR_BUFFER_BIT;
        glClearColor(static_cast<float>((call.color >> 16) & 0xFF) / 255.0f,
                     static_cast<float>((call.color >> 8) & 0xFF) / 255.0f,
                     static_cast<float>(call.color & 0xFF) / 255.0f, 1.0f);
    }
    if ((call.flags & platform::kClearZBuffer) != 0) {
        mask |= GL_DEPTH_BUFFER_BIT;
        glClearDepth(call.z);
        glDepthMask(GL_TRUE);
    }
    glDisable(GL_DITHER);
    for (const platform::SurfaceRect& r0 : rects) {
        const platform::SurfaceRect r{std::max(r0.left, whole.left), std::max(r0.top, whole.top),
                                      std::min(r0.right, whole.right), std::min(r0.bottom, whole.bottom)};
        if (r.left < r.right && r.top < r.bottom) {
            glScissor(r.left, height - r.bottom, r.right - r.left, r.bottom - r.top);
            glClear(mask);
        }
    }
}

// A picture written into the target: copied in as it is, past every fragment operation.
void DrawPicture(const RecordedCall& call, int height) {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_DITHER);
    glDisable(GL_SCISSOR_TEST);
    glWindowPos2i(call.area.left, height - call.area.top);
    glPixelZoom(1.0f, -1.0f);
    glDrawPixels(call.area.right - call.area.left, call.area.bottom - call.area.top, GL_RGB,
                 GL_UNSIGNED_SHORT_5_6_5, call.pixels.data());
    glPixelZoom(1.0f, 1.0f);
    glEnable(GL_SCISSOR_TEST);
}

}  // namespace

GlReplayer::GlReplayer(const std::vector<const platform::FrameRecording*>& frames, int width, int height)
    : frames_(frames), height_(height) {
    const int attributes[] = {OSMESA_FORMAT,
                              OSMESA_RGB_565,
                              OSMESA_DEPTH_BITS,
                              16,
                              OSMESA_STENCIL_BITS,
                              0,
                              OSMESA_ACCUM_BITS,
                              0,
                              OSMESA_PROFILE,
                              OSMESA_COMPAT_PROFILE,
                              0};
    OSMesaContext context = OSMesaCreateContextAttribs(attributes, nullptr);
    context_ = context;
    pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    if (context == nullptr ||
        !OSMesaMakeCurrent(context, pixels_.data(), GL_UNSIGNED_SHORT_5_6_5, width, height)) {
        return;
    }
    OSMesaPixelStore(OSMESA_Y_UP, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glEnable(GL_SCISSOR_TEST);
    glFrontFace(GL_CW);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glHint(GL_FOG_HINT, GL_FASTEST);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    for (const platform::FrameRecording* frame : frames_) {
        auto up = std::make_unique<Uploaded>();
        for (const platform::RecordedTexture& t : frame->textures) {
            GLuint name = 0;
            glGenTextures(1, &name);
            glBindTexture(GL_TEXTURE_2D, name);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, t.width, t.height, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                         t.texels.data());
            up->textures.push_back(name);
        }
        for (const RecordedCall& call : frame->calls) {
            GLuint buffers[2] = {0, 0};
            std::vector<uint16_t> indices;
            if (call.kind == RecordedKind::kDraw) {
                // Triangles with an index past the vertices are skipped by the device; leave them out.
                for (size_t i = 0; i + 2 < call.indices.size(); i += 3) {
                    if (std::max({call.indices[i], call.indices[i + 1], call.indices[i + 2]}) <
                        call.vertices.size()) {
                        indices.insert(indices.end(), call.indices.begin() + static_cast<std::ptrdiff_t>(i),
                                       call.indices.begin() + static_cast<std::ptrdiff_t>(i) + 3);
                    }
                }
                glGenBuffers(2, buffers);
                glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
                glBufferData(GL_ARRAY_BUFFER,
                             static_cast<GLsizeiptr>(call.vertices.size() * sizeof(platform::DeviceVertex)),
                             call.vertices.data(), GL_STATIC_DRAW);
                glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
                glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * 2),
                             indices.data(), GL_STATIC_DRAW);
            }
            up->vertexBuffers.push_back(buffers[0]);
            up->indexBuffers.push_back(buffers[1]);
            up->indexCounts.push_back(static_cast<GLsizei>(indices.size()));
        }
        uploaded_.push_back(std::move(up));
    }
    glFinish();
    ready_ = glGetError() == GL_NO_ERROR;
}

GlReplayer::~GlReplayer() {
    if (context_ != nullptr) {
        OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
    }
}

std::string GlReplayer::Renderer() const {
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return name != nullptr ? name : "unknown";
}

void GlReplayer::Replay(size_t index) {
    const platform::FrameRecording& frame = *frames_[index];
    const Uploaded& up = *uploaded_[index];
    for (size_t c = 0; c < frame.calls.size(); ++c) {
        const RecordedCall& call = frame.calls[c];
        switch (call.kind) {
            case RecordedKind::kClear:
                ClearRects(call, height_);
                break;
            case RecordedKind::kBeginScene:
                break;
            case RecordedKind::kPicture:
                DrawPicture(call, height_);
                break;
            case RecordedKind::kDraw: {
                const RecordedState& s = frame.states[call.state];
                SetViewport(s.viewport, height_);
                SetTransforms(s);
                SetFog(s);
                SetPixelStates(s, s.texture >= 0 ? up.textures[static_cast<size_t>(s.texture)] : 0);
                glBindBuffer(GL_ARRAY_BUFFER, up.vertexBuffers[c]);
                glVertexPointer(3, GL_FLOAT, sizeof(platform::DeviceVertex), nullptr);
                glNormalPointer(GL_FLOAT, sizeof(platform::DeviceVertex), reinterpret_cast<const void*>(12));
                glTexCoordPointer(2, GL_FLOAT, sizeof(platform::DeviceVertex),
                                  reinterpret_cast<const void*>(24));
                glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, up.indexBuffers[c]);
                glDrawElements(GL_TRIANGLES, up.indexCounts[c], GL_UNSIGNED_SHORT, nullptr);
                break;
            }
        }
    }
    glFinish();
}

}  // namespace compare
