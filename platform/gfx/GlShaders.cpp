#include "platform/gfx/GlShaders.h"

namespace tge::gfx {

// Matrices arrive as the engine keeps them (row-major, row vectors): read
// column-major by GL they are transposed, so M * v here is v x M there.
// Depth 0..1 becomes GL's -1..1 and y is negated, so that every target holds
// its top row first, as the engine's surfaces do; front faces, clockwise on
// the screen, then wind counter-clockwise for GL.
const char* const kFixedFunctionVertexShader = R"(#version 330 core
layout(location = 0) in vec4 a_position;
layout(location = 1) in vec3 a_normal;
layout(location = 2) in float a_pointSize;
layout(location = 3) in vec4 a_diffuse;
layout(location = 4) in vec4 a_specular;
layout(location = 5) in vec4 a_tex0;
layout(location = 6) in vec4 a_tex1;
layout(location = 7) in vec4 a_tex2;
layout(location = 8) in vec4 a_tex3;
layout(location = 9) in vec4 a_tex4;
layout(location = 10) in vec4 a_tex5;
layout(location = 11) in vec4 a_tex6;
layout(location = 12) in vec4 a_tex7;

uniform mat4 u_worldView;
uniform mat4 u_projection;
uniform bool u_pretransformed;
uniform vec4 u_viewport;
uniform bool u_hasNormal, u_hasDiffuse, u_hasSpecular, u_hasPointSize;
uniform int u_setFloats[8];

uniform bool u_lighting, u_normalize, u_specularEnable, u_colorVertex;
uniform vec4 u_ambient;
uniform vec4 u_matDiffuse, u_matAmbient, u_matSpecular, u_matEmissive;
uniform float u_matPower;
uniform int u_diffuseSource, u_ambientSource, u_specularSource, u_emissiveSource;
uniform int u_lightType[8];
uniform vec4 u_lightDiffuse[8], u_lightSpecular[8], u_lightAmbient[8];
uniform vec3 u_lightPosition[8], u_lightDirection[8];
uniform vec4 u_lightAttenuation[8];
uniform vec3 u_lightSpot[8];

uniform bool u_fogEnable, u_rangeFog;
uniform float u_fogStart, u_fogEnd;

uniform int u_texSource[4];
uniform int u_texCount[4];
uniform mat4 u_texMatrix[4];

uniform float u_pointSize, u_pointMin, u_pointMax;
uniform bool u_pointScale;
uniform vec3 u_pointScaleFactors;

out vec4 v_diffuse;
out vec4 v_specular;
out vec4 v_tex[4];
out float v_fog;

vec4 TexSet(int i) {
  vec4 t = i == 0 ? a_tex0 : i == 1 ? a_tex1 : i == 2 ? a_tex2 : i == 3 ? a_tex3 :
           i == 4 ? a_tex4 : i == 5 ? a_tex5 : i == 6 ? a_tex6 : a_tex7;
  int n = u_setFloats[i];
  // Missing components: 1 right after the given ones, 0 beyond.
  if (n == 1) return vec4(t.x, 1.0, 0.0, 0.0);
  if (n == 2) return vec4(t.xy, 1.0, 0.0);
  if (n == 3) return vec4(t.xyz, 1.0);
  return t;
}

vec4 Source(int source, vec4 material) {
  if (!u_colorVertex) return material;
  if (source == 1 && u_hasDiffuse) return a_diffuse;
  if (source == 2 && u_hasSpecular) return a_specular;
  return material;
}

void Light(vec3 p, vec3 n, out vec4 colour, out vec4 specular) {
  vec3 ambientSum = vec3(0.0), diffuseSum = vec3(0.0), specularSum = vec3(0.0);
  vec3 toEye = normalize(-p);
  for (int i = 0; i < 8; ++i) {
    if (u_lightType[i] == 0) continue;
    vec3 l;
    float factor = 1.0;
    if (u_lightType[i] == 3) {
      l = normalize(-u_lightDirection[i]);
    } else {
      vec3 d = u_lightPosition[i] - p;
      float distance = length(d);
      if (distance > u_lightAttenuation[i].x) continue;
      l = d / max(distance, 1e-20);
      float denominator = dot(u_lightAttenuation[i].yzw, vec3(1.0, distance, distance * distance));
      factor = denominator > 0.0 ? 1.0 / denominator : 1.0;
      if (u_lightType[i] == 2) {
        float rho = dot(normalize(u_lightDirection[i]), -l);
        vec3 spot = u_lightSpot[i];
        factor *= rho > spot.x ? 1.0 : rho <= spot.y ? 0.0
                : pow((rho - spot.y) / (spot.x - spot.y), spot.z);
      }
    }
    ambientSum += factor * u_lightAmbient[i].rgb;
    diffuseSum += factor * max(dot(n, l), 0.0) * u_lightDiffuse[i].rgb;
    if (u_specularEnable) {
      float nh = max(dot(n, normalize(toEye + l)), 0.0);
      specularSum += factor * (nh > 0.0 ? pow(nh, u_matPower) : 0.0) * u_lightSpecular[i].rgb;
    }
  }
  vec4 cd = Source(u_diffuseSource, u_matDiffuse);
  vec4 ca = Source(u_ambientSource, u_matAmbient);
  vec4 ce = Source(u_emissiveSource, u_matEmissive);
  vec4 cs = Source(u_specularSource, u_matSpecular);
  colour = vec4(ce.rgb + ca.rgb * (u_ambient.rgb + ambientSum) + cd.rgb * diffuseSum, cd.a);
  specular = vec4(cs.rgb * specularSum, cs.a);
  colour = clamp(colour, 0.0, 1.0);
  specular = clamp(specular, 0.0, 1.0);
}

void main() {
  vec3 p = vec3(0.0);
  vec3 n = vec3(0.0);
  if (u_pretransformed) {
    // Pixel centres lie on whole coordinates here and half-way in GL.
    float w = a_position.w != 0.0 ? 1.0 / a_position.w : 1.0;
    vec2 ndc = vec2((a_position.x + 0.5 - u_viewport.x) / u_viewport.z * 2.0 - 1.0,
                    1.0 - (a_position.y + 0.5 - u_viewport.y) / u_viewport.w * 2.0);
    gl_Position = vec4(ndc.x * w, -ndc.y * w, (2.0 * a_position.z - 1.0) * w, w);
  } else {
    vec4 view = u_worldView * vec4(a_position.xyz, 1.0);
    p = view.xyz;
    n = mat3(u_worldView) * a_normal;
    if (u_normalize) n = normalize(n);
    vec4 clip = u_projection * view;
    gl_Position = vec4(clip.x, -clip.y, 2.0 * clip.z - clip.w, clip.w);
  }
  if (u_lighting && !u_pretransformed) {
    Light(p, n, v_diffuse, v_specular);
  } else {
    v_diffuse = u_hasDiffuse ? a_diffuse : vec4(1.0);
    v_specular = u_hasSpecular ? a_specular : vec4(0.0);
  }
  v_fog = 1.0;
  if (u_fogEnable && !u_pretransformed) {
    float d = u_rangeFog ? length(p) : p.z;
    v_fog = clamp((u_fogEnd - d) / (u_fogEnd - u_fogStart), 0.0, 1.0);
  }
  for (int i = 0; i < 4; ++i) {
    int generator = u_texSource[i] >> 16;
    vec4 t;
    if (generator == 1) t = vec4(normalize(n), 1.0);
    else if (generator == 2) t = vec4(p, 1.0);
    else if (generator == 3) t = vec4(reflect(normalize(p), normalize(n)), 1.0);
    else t = TexSet(u_texSource[i] & 7);
    v_tex[i] = u_texCount[i] > 0 ? u_texMatrix[i] * t : t;
  }
  float size = u_hasPointSize ? a_pointSize : u_pointSize;
  if (u_pointScale) {
    float d = length(p);
    vec3 f = u_pointScaleFactors;
    size = u_viewport.w * size * sqrt(1.0 / max(f.x + f.y * d + f.z * d * d, 1e-20));
  }
  gl_PointSize = clamp(size, u_pointMin, u_pointMax);
}
)";

const char* const kFixedFunctionFragmentShader = R"(#version 330 core
in vec4 v_diffuse;
in vec4 v_specular;
in vec4 v_tex[4];
in float v_fog;
out vec4 o_colour;

uniform int u_colorOp[4], u_colorArg1[4], u_colorArg2[4];
uniform int u_alphaOp[4], u_alphaArg1[4], u_alphaArg2[4];
uniform int u_texKind[4];
uniform int u_texCount[4];
uniform bool u_texProjected[4];
uniform sampler2D u_texture2D[4];
uniform samplerCube u_textureCube[4];
uniform bool u_pointSprite;
uniform vec4 u_textureFactor;
uniform bool u_specularEnable;
uniform bool u_fogEnable;
uniform vec4 u_fogColour;
uniform bool u_alphaTest;
uniform int u_alphaFunc;
uniform float u_alphaRef;

vec4 Sample(int i) {
  if (u_texKind[i] == 0) return vec4(1.0);
  vec4 t = v_tex[i];
  // Samplers are indexed by constants only, as GLSL 3.30 requires.
  if (u_texKind[i] == 2) {
    return i == 0 ? texture(u_textureCube[0], t.xyz) : i == 1 ? texture(u_textureCube[1], t.xyz)
         : i == 2 ? texture(u_textureCube[2], t.xyz) : texture(u_textureCube[3], t.xyz);
  }
  vec2 uv = t.xy;
  if (u_pointSprite) uv = gl_PointCoord;
  else if (u_texProjected[i] && u_texCount[i] > 1) uv /= t[u_texCount[i] - 1];
  return i == 0 ? texture(u_texture2D[0], uv) : i == 1 ? texture(u_texture2D[1], uv)
       : i == 2 ? texture(u_texture2D[2], uv) : texture(u_texture2D[3], uv);
}

vec4 Argument(int arg, vec4 current, vec4 tex) {
  int select = arg & 15;
  vec4 v = select == 0 ? v_diffuse : select == 1 ? current : select == 2 ? tex
         : select == 3 ? u_textureFactor : select == 4 ? v_specular : current;
  if ((arg & 16) != 0) v = vec4(1.0) - v;
  if ((arg & 32) != 0) v = vec4(v.a);
  return v;
}

vec4 Combine(int op, vec4 a, vec4 b, vec4 current, vec4 tex) {
  if (op == 2) return a;
  if (op == 3) return b;
  if (op == 4) return a * b;
  if (op == 5) return a * b * 2.0;
  if (op == 6) return a * b * 4.0;
  if (op == 7) return a + b;
  if (op == 8) return a + b - 0.5;
  if (op == 10) return a - b;
  if (op == 11) return a + b - a * b;
  if (op == 12) return mix(b, a, v_diffuse.a);
  if (op == 13) return mix(b, a, tex.a);
  if (op == 16) return mix(b, a, current.a);
  return a;
}

bool Passes(float alpha) {
  float a = floor(alpha * 255.0 + 0.5);
  int f = u_alphaFunc;
  return f == 8 || (f == 2 && a < u_alphaRef) || (f == 3 && a == u_alphaRef) ||
         (f == 4 && a <= u_alphaRef) || (f == 5 && a > u_alphaRef) ||
         (f == 6 && a != u_alphaRef) || (f == 7 && a >= u_alphaRef);
}

void main() {
  vec4 current = v_diffuse;
  for (int i = 0; i < 4; ++i) {
    if (u_colorOp[i] == 1) break;
    vec4 tex = Sample(i);
    vec3 rgb = Combine(u_colorOp[i], Argument(u_colorArg1[i], current, tex),
                       Argument(u_colorArg2[i], current, tex), current, tex).rgb;
    float alpha = u_alphaOp[i] == 1 ? current.a
        : Combine(u_alphaOp[i], Argument(u_alphaArg1[i], current, tex),
                  Argument(u_alphaArg2[i], current, tex), current, tex).a;
    current = clamp(vec4(rgb, alpha), 0.0, 1.0);
  }
  if (u_specularEnable) current.rgb = min(current.rgb + v_specular.rgb, 1.0);
  if (u_fogEnable) current.rgb = mix(u_fogColour.rgb, current.rgb, v_fog);
  if (u_alphaTest && !Passes(current.a)) discard;
  o_colour = current;
}
)";

// One triangle over the window; the back buffer's top row is its first, the
// window's is its last, so t runs downwards. Each channel is looked up in
// the gamma ramp (256 entries).
const char* const kPresentVertexShader = R"(#version 330 core
out vec2 v_uv;
void main() {
  vec2 corner = vec2(float((gl_VertexID & 1) << 2) - 1.0, float((gl_VertexID & 2) << 1) - 1.0);
  v_uv = vec2((corner.x + 1.0) * 0.5, 1.0 - (corner.y + 1.0) * 0.5);
  gl_Position = vec4(corner, 0.0, 1.0);
}
)";

const char* const kPresentFragmentShader = R"(#version 330 core
in vec2 v_uv;
out vec4 o_colour;
uniform sampler2D u_image;
uniform sampler2D u_ramp;
float Ramp(float value, int channel) {
  return texelFetch(u_ramp, ivec2(int(value * 255.0 + 0.5), 0), 0)[channel];
}
void main() {
  vec3 c = texture(u_image, v_uv).rgb;
  o_colour = vec4(Ramp(c.r, 0), Ramp(c.g, 1), Ramp(c.b, 2), 1.0);
}
)";

}  // namespace tge::gfx
