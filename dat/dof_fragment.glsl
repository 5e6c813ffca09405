// Depth-of-field style blur: the picture is softened by a disc of taps whose radius
// follows the layer image's brightness (black keeps it sharp, white blurs most).
#version 120

uniform sampler2D tex0;
uniform sampler2D tex1;

const float maxRadiusPixels = 6.0;

void main()
{
    vec2 st = gl_TexCoord[0].st;
    vec4 layer = texture2D(tex1, gl_TexCoord[1].st);
    float strength = dot(layer.rgb, vec3(0.299, 0.587, 0.114)) * layer.a;
    // One pixel of the picture in texture units: the quad spans the whole target.
    vec2 pixel = vec2(abs(dFdx(st.s)), abs(dFdy(st.t)));
    vec2 radius = pixel * maxRadiusPixels * strength;

    vec4 sum = texture2D(tex0, st) * 2.0;
    float weight = 2.0;
    for (int ring = 1; ring <= 2; ++ring) {
        float r = float(ring) * 0.5;
        for (int i = 0; i < 8; ++i) {
            float angle = float(i) * 0.785398 + float(ring) * 0.392699;
            vec2 offset = vec2(cos(angle), sin(angle)) * radius * r;
            sum += texture2D(tex0, st + offset);
            weight += 1.0;
        }
    }
    gl_FragColor = sum / weight;
}
