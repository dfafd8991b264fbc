#version 120
// Per-pixel lighting, fragment stage.
// mode 0: ambient, emission and glow only (first pass of the shadowed path);
// mode 1: the one light in lightIndices[0], added on top of earlier passes;
// mode 2: everything at once, all selected lights.
// Each light fades smoothly to nothing at its radius; its diffuse alpha is its
// strength (a torch's flame burns at 2).

uniform sampler2D Texture0;
uniform sampler2D bumpMap;
uniform int textureMode;
uniform int hasBump;
uniform int mode;
uniform int lightIndices[8];
uniform float lightRadii[8];
uniform float fadeTime;
uniform float morphTime;

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec3 eyeTangent;
varying vec3 eyeBinormal;
varying vec3 objectPosition;

const vec3 checkpointGlow = vec3(0.25, 0.85, 1.0);
const vec3 emberGlow = vec3(1.0, 0.45, 0.1);

vec3 surfaceNormal()
{
    vec3 normal = normalize(eyeNormal);
    if (hasBump == 0 || dot(eyeTangent, eyeTangent) < 1e-8 || dot(eyeBinormal, eyeBinormal) < 1e-8) {
        return normal;
    }
    vec3 bump = texture2D(bumpMap, gl_TexCoord[0].st).xyz * 2.0 - 1.0;
    return normalize(normalize(eyeTangent) * bump.x + normalize(eyeBinormal) * bump.y + normal * bump.z);
}

// Full strength at the light, zero with a flat tangent at the radius.
float falloff(float distance, float radius)
{
    float x = clamp(distance / max(radius, 1e-6), 0.0, 1.0);
    float t = 1.0 - x * x;
    return t * t;
}

vec3 lightContribution(int slot, float radius, vec3 normal, vec3 albedo)
{
    vec3 toLight = gl_LightSource[slot].position.xyz - eyePosition * gl_LightSource[slot].position.w;
    float distance = length(toLight);
    vec3 direction = toLight / max(distance, 1e-6);
    float attenuation = gl_LightSource[slot].position.w == 0.0 ? 1.0 : falloff(distance, radius);
    float lambert = max(dot(normal, direction), 0.0);
    vec3 diffuse = gl_LightSource[slot].diffuse.rgb * gl_LightSource[slot].diffuse.a *
                   gl_FrontMaterial.diffuse.rgb * albedo * lambert;
    vec3 specular = vec3(0.0);
    if (lambert > 0.0) {
        vec3 halfway = normalize(direction + normalize(-eyePosition));
        float shininess = max(gl_FrontMaterial.shininess, 1.0);
        specular = gl_LightSource[slot].specular.rgb * gl_FrontMaterial.specular.rgb *
                   pow(max(dot(normal, halfway), 0.0), shininess);
    }
    return (diffuse + specular) * attenuation;
}

vec3 ambientTerm(vec3 albedo)
{
    vec3 colour = gl_LightModel.ambient.rgb * gl_FrontMaterial.ambient.rgb * albedo + gl_FrontMaterial.emission.rgb;
    colour += checkpointGlow * fadeTime * albedo;
    if (morphTime > 0.0) {
        // The player's ball smoulders: slow embers drifting over its surface.
        float wave = sin(morphTime * 3.0 + dot(objectPosition, vec3(4.0, 5.0, 3.0)));
        colour += emberGlow * (0.25 + 0.15 * wave);
    }
    return colour;
}

void main()
{
    vec4 texel = textureMode == 1 ? texture2D(Texture0, gl_TexCoord[0].st) : vec4(1.0);
    vec3 albedo = texel.rgb;
    vec3 colour = mode == 1 ? vec3(0.0) : ambientTerm(albedo);
    // Mode 1 lists its one light, mode 2 all of them. One loop serves both: a driver
    // that runs every branch of a fragment program still stops a loop all fragments left.
    int lights = mode == 0 ? 0 : 8;
    if (lights > 0) {
        vec3 normal = surfaceNormal();
        if (!gl_FrontFacing) {
            normal = -normal;
        }
        for (int i = 0; i < lights; ++i) {
            if (lightIndices[i] < 0) {
                break;
            }
            colour += lightContribution(lightIndices[i], lightRadii[i], normal, albedo);
        }
    }
    gl_FragColor = vec4(colour, gl_FrontMaterial.diffuse.a * texel.a);
}
